#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <vector>

// Runs lupdate over the program's sources into a copy of the translation, so a text added, changed
// or removed in the sources since the translation was last brought up to date shows up here as an
// unfinished or vanished entry, named, before it reaches a user untranslated.
namespace {
struct Entry {
    QString source;
    QString translation;
    QString type; // "unfinished", "vanished", "obsolete" or empty for a finished one
};

std::vector<Entry> ReadEntries(const QString &path)
{
    std::vector<Entry> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("message"))
            continue;
        Entry entry;
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("source")) {
                entry.source = xml.readElementText();
            } else if (xml.name() == QLatin1String("translation")) {
                entry.type = xml.attributes().value(QLatin1String("type")).toString();
                entry.translation = xml.readElementText();
            } else {
                xml.skipCurrentElement();
            }
        }
        entries.push_back(entry);
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return entries;
}

QSet<QString> Places(const QString &text)
{
    static const QRegularExpression place(QStringLiteral("%[1-9]"));
    QSet<QString> places;
    for (const auto &match : place.globalMatch(text))
        places.insert(match.captured());
    return places;
}

class TranslationCompleteTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        updated = folder.filePath(QStringLiteral("tavrin_en.ts"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(TAVRIN_TS_FILE), updated));
        QFile::setPermissions(updated, QFile::ReadOwner | QFile::WriteOwner);
        QProcess lupdate;
        lupdate.start(QStringLiteral(TAVRIN_LUPDATE),
                      {QStringLiteral("-locations"), QStringLiteral("none"), QStringLiteral("-no-ui-lines"),
                       QStringLiteral("@" TAVRIN_TEXT_SOURCES), QStringLiteral("-ts"), updated});
        ASSERT_TRUE(lupdate.waitForFinished(120000));
        ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();
        entries = ReadEntries(updated);
    }

    QTemporaryDir folder;
    QString updated;
    std::vector<Entry> entries;
};

TEST_F(TranslationCompleteTest, EveryTextInTheSourcesHasAFinishedTranslation)
{
    ASSERT_FALSE(entries.empty());
    for (const Entry &entry : entries) {
        const bool gone = entry.type == QLatin1String("vanished") || entry.type == QLatin1String("obsolete");
        EXPECT_TRUE(entry.type.isEmpty() && !entry.translation.isEmpty())
            << "\"" << entry.source.toStdString() << "\" " << (gone ? "is no longer in the sources" : "has no translation")
            << "; run `cmake --build build --target update_translations` and translate what is unfinished in "
               "translations/tavrin_en.ts";
    }
}

TEST_F(TranslationCompleteTest, TranslationsKeepTheirPlacesAndHaveNoChinese)
{
    static const QRegularExpression chinese(QStringLiteral("[\\x{3000}-\\x{303F}\\x{4E00}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));
    for (const Entry &entry : entries) {
        if (!entry.type.isEmpty())
            continue;
        EXPECT_EQ(Places(entry.translation), Places(entry.source)) << entry.source.toStdString();
        EXPECT_FALSE(entry.translation.contains(chinese)) << entry.translation.toStdString();
    }
}
} // namespace
