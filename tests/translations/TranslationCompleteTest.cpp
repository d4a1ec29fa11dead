#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

// lupdate reads the program's sources into a copy of the translation: a text added, changed or
// removed since the translation was last brought up to date shows up there as an unfinished or
// vanished entry, and is named here before it reaches a user untranslated.
namespace {
const QRegularExpression kChinese(QStringLiteral("[\\x{3000}-\\x{303F}\\x{4E00}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));
const QRegularExpression kPlace(QStringLiteral("%[1-9]"));

QStringList Places(const QString &text)
{
    QStringList places;
    for (const auto &match : kPlace.globalMatch(text))
        places << match.captured();
    places.sort();
    return places;
}

TEST(TranslationCompleteTest, EveryTextInTheSourcesHasAFinishedTranslation)
{
    QTemporaryDir folder;
    const QString updated = folder.filePath(QStringLiteral("tavrin_en.ts"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TAVRIN_TS_FILE), updated));
    QFile::setPermissions(updated, QFile::ReadOwner | QFile::WriteOwner);
    QProcess lupdate;
    lupdate.start(QStringLiteral(TAVRIN_LUPDATE), {QStringLiteral("-locations"), QStringLiteral("none"),
                                                   QStringLiteral("@" TAVRIN_TEXT_SOURCES), QStringLiteral("-ts"), updated});
    ASSERT_TRUE(lupdate.waitForFinished(120000) && lupdate.exitCode() == 0) << lupdate.readAllStandardError().toStdString();

    QFile file(updated);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    int count = 0;
    QString source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("source"))
            source = xml.readElementText();
        if (xml.name() != QLatin1String("translation"))
            continue;
        ++count;
        const QString type = xml.attributes().value(QLatin1String("type")).toString();
        const QString translation = xml.readElementText();
        const bool gone = type == QLatin1String("vanished") || type == QLatin1String("obsolete");
        EXPECT_TRUE(type.isEmpty() && !translation.isEmpty())
            << "\"" << source.toStdString() << "\" " << (gone ? "is no longer in the sources" : "has no translation")
            << "; run `cmake --build build --target update_translations` and translate what is unfinished in "
               "translations/tavrin_en.ts";
        EXPECT_EQ(Places(translation), Places(source)) << translation.toStdString();
        EXPECT_FALSE(translation.contains(kChinese)) << translation.toStdString();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_GT(count, 0);
}
} // namespace
