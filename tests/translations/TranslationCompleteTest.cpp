#include <gtest/gtest.h>

#include <algorithm>

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

// The translation fills the source's places; a plural form shows its count as %n, in the place of
// the one source place it leaves out ("%n keys" for "%3 个按键").
bool SamePlaces(const QString &translation, const QString &source)
{
    const QStringList wanted = Places(source);
    const QStringList given = Places(translation);
    if (!translation.contains(QLatin1String("%n")))
        return given == wanted;
    return given.size() + 1 == wanted.size() &&
           std::all_of(given.begin(), given.end(), [&](const QString &place) { return wanted.contains(place); });
}

// The text of the translation element the reader stands on: one, or each plural form.
QStringList Forms(QXmlStreamReader &xml)
{
    QStringList forms;
    QString text;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::Characters)
            text += xml.text();
        else if (token == QXmlStreamReader::StartElement && xml.name() == QLatin1String("numerusform"))
            forms << xml.readElementText();
        else if (token == QXmlStreamReader::EndElement && xml.name() == QLatin1String("translation"))
            break;
    }
    return forms.isEmpty() ? QStringList{text} : forms;
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
        const bool gone = type == QLatin1String("vanished") || type == QLatin1String("obsolete");
        for (const QString &translation : Forms(xml)) {
            EXPECT_TRUE(type.isEmpty() && !translation.isEmpty())
                << "\"" << source.toStdString() << "\" " << (gone ? "is no longer in the sources" : "has no translation")
                << "; run `cmake --build build --target update_translations` and translate what is unfinished in "
                   "translations/tavrin_en.ts";
            EXPECT_TRUE(SamePlaces(translation, source)) << translation.toStdString();
            EXPECT_FALSE(translation.contains(kChinese)) << translation.toStdString();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_GT(count, 0);
}
} // namespace
