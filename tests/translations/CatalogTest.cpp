#include "translations/Catalog.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTranslator>
#include <QXmlStreamReader>

// tavrin-cli reads the compiled translation without Qt: for every text of the translation it must
// give exactly what Qt's own translator gives the window, and it must refuse a damaged file
// rather than read past its end.
namespace {
std::vector<std::pair<std::string, std::string>> ContextsAndSources()
{
    QFile file(QStringLiteral(TAVRIN_TS_FILE));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    std::vector<std::pair<std::string, std::string>> texts;
    std::string context;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText().toStdString();
        else if (xml.name() == QLatin1String("source"))
            texts.emplace_back(context, xml.readElementText().toStdString());
    }
    return texts;
}

TEST(CatalogTest, GivesQtsTranslationOfEveryText)
{
    QFile file(QStringLiteral(TAVRIN_QM_FILE));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QTranslator translator;
    ASSERT_TRUE(translator.load(QStringLiteral(TAVRIN_QM_FILE)));
    const std::optional<TextCatalog> catalog = ReadTextCatalog({bytes.constData(), std::size_t(bytes.size())}, "Tavrin");
    ASSERT_TRUE(catalog);
    const auto texts = ContextsAndSources();
    ASSERT_GT(texts.size(), 100u);
    int countedTexts = 0;
    for (const auto &[context, source] : texts) {
        if (context != "Tavrin")
            continue;
        // Counted texts in each plural form; Qt's application object puts the count for %n.
        const auto it = catalog->find(source);
        const bool counted = it != catalog->end() && it->second.size() > 1;
        countedTexts += counted;
        for (const int count : {-1, 0, 1, 2, 5}) {
            if (count >= 0 && !counted)
                continue;
            const QString expected = translator.translate(context.c_str(), source.c_str(), nullptr, count);
            EXPECT_EQ(CatalogText(*catalog, source, count),
                      (count < 0 ? expected : QString(expected).replace(QLatin1String("%n"), QString::number(count))).toStdString())
                << source << " " << count;
        }
    }
    EXPECT_GE(countedTexts, 5); // the texts with plural forms ("1 key", "5 keys")
    // Cut anywhere, the file is refused or gives only texts it holds whole.
    for (std::size_t size = 0; size < std::size_t(bytes.size()); size += 97) {
        const auto cut = ReadTextCatalog({bytes.constData(), size}, "Tavrin");
        EXPECT_TRUE(!cut || cut->size() <= catalog->size()) << size;
    }
}
} // namespace
