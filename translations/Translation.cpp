#include "translations/Translation.h"

#include "common/UserText.h"
#include "translations/Catalog.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

namespace {
constexpr const char *kTranslationName = "tavrin_en";

std::string TranslateSource(const std::string &source, int count)
{
    return QCoreApplication::translate(kTextContext, source.c_str(), nullptr, count).toStdString();
}

// Qt's catalog knows the file dialog's type names ("Folder", "Drive") under the dialog's own name,
// from before they moved to the icon provider that now asks for them.
class CQtTranslator final : public QTranslator {
public:
    using QTranslator::QTranslator;
    QString translate(const char *context, const char *source, const char *disambiguation, int n) const override
    {
        const QString found = QTranslator::translate(context, source, disambiguation, n);
        if (found.isEmpty() && qstrcmp(context, "QAbstractFileIconProvider") == 0)
            return QTranslator::translate("QFileDialog", source, nullptr, n);
        return found;
    }
};

// Qt's own texts (the buttons of a message box, the file dialog) are English; in Chinese they come
// from Qt's translation of its base module, where it is installed, and otherwise stay English.
void InstallQtTranslation()
{
    auto *translator = new CQtTranslator(QCoreApplication::instance());
    if (translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}
} // namespace

QString TranslatedText(const std::string &source)
{
    return QCoreApplication::translate(kTextContext, source.c_str());
}

bool InstallTranslation(Language language)
{
    SetTextTranslator(&TranslateSource);
    // Qt's dialogs write dates, numbers and sizes in the language of the texts around them.
    QLocale::setDefault(language == Language::Chinese ? QLocale(QLocale::Chinese, QLocale::China)
                                                      : QLocale(QLocale::English, QLocale::UnitedStates));
    if (language == Language::Chinese) {
        InstallQtTranslation();
        return true;
    }
    auto *translator = new QTranslator(QCoreApplication::instance());
    for (const std::string &folder : TranslationFolders(QCoreApplication::applicationDirPath().toStdString())) {
        if (translator->load(QString::fromLatin1(kTranslationName), QString::fromStdString(folder))) {
            QCoreApplication::installTranslator(translator);
            return true;
        }
    }
    delete translator;
    // Said in English: whoever reads it asked for English and cannot have it.
    std::fprintf(stderr, "%s: the English translation (%s.qm) is missing; the texts stay Chinese\n",
                 qPrintable(QCoreApplication::applicationName()), kTranslationName);
    return false;
}

bool SetUpLanguage(const std::optional<std::string> &option)
{
    std::optional<Language> chosen;
    const bool understood = ReadLanguageOption(option, chosen);
    InstallTranslation(ChooseLanguage(chosen, ProcessEnvironment));
    if (!understood) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()),
                     TranslateText(LanguageRefusal(*option)).c_str());
    }
    return understood;
}
