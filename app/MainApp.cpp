#include "app/MainApp.h"

#include "app/Display.h"
#include "app/MainDlg.h"
#include "app/MessageBox.h"
#include "common/Version.h"
#include "resources/AppIcon.h"
#include "settings/ModuleSettings.h"
#include "translations/Translation.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace {
constexpr const char *kUnknownArgument = QT_TRANSLATE_NOOP("Tavrin", "未知的参数：%1（见 %2 --help）");

// The window's command line, read by Qt's own parser from what the application object left of it
// (QApplication takes out its own options, -platform and the like).
struct WindowArguments {
    std::optional<std::string> language;
    bool help = false;
    bool version = false;
    std::optional<std::string> error; // a usage error, said as it is
};

// An unknown option as the user wrote it: Qt names it without its dashes.
QString AsWritten(const QStringList &arguments, const QString &name)
{
    for (const QString &argument : arguments) {
        if (argument == QLatin1Char('-') + name || argument == QLatin1String("--") + name ||
            argument.startsWith(QLatin1String("--") + name + QLatin1Char('=')))
            return argument;
    }
    return name;
}

WindowArguments ReadWindowArguments(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption language(QStringLiteral("lang"), QString(), QStringLiteral("en|zh"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    parser.addOptions({language, help, version});
    WindowArguments result;
    const QString program = QCoreApplication::applicationName();
    const auto refuse = [&](const QString &word) {
        result.error = TranslateText({kUnknownArgument, {QuotedInput(word.toStdString()), program.toStdString()}});
    };
    if (!parser.parse(arguments)) {
        if (parser.unknownOptionNames().isEmpty())
            result.error = parser.errorText().toStdString();
        else
            refuse(AsWritten(arguments, parser.unknownOptionNames().front()));
        return result;
    }
    if (!parser.positionalArguments().isEmpty())
        refuse(parser.positionalArguments().front());
    if (parser.isSet(language))
        result.language = parser.value(language).toStdString();
    result.help = parser.isSet(help);
    result.version = parser.isSet(version);
    return result;
}

// What a run says on the terminal instead of opening the window: its help, its version, a usage
// error, or that there is no display. Nothing when the window is to open.
std::optional<int> AnswerWithoutWindow(const WindowArguments &arguments, const char *help, bool display)
{
    if (!SetUpLanguage(arguments.language))
        return 2;
    const std::string program = QCoreApplication::applicationName().toStdString();
    if (arguments.error) {
        std::fprintf(stderr, "%s: %s\n", program.c_str(), arguments.error->c_str());
        return 2;
    }
    if (arguments.help) {
        std::printf("%s\n", TranslateText({help, {}}).c_str());
        return 0;
    }
    if (arguments.version) {
        std::printf("%s %s\n", program.c_str(), TavrinVersion());
        return 0;
    }
    if (display)
        return std::nullopt;
    std::fprintf(stderr, "%s\n", TranslateText(NoDisplayHint(QCoreApplication::arguments().value(0).toStdString())).c_str());
    return 1;
}
} // namespace

int CMainApp::Run(int argc, char *argv[], IHidBackend &backend, CMainDlg::WatcherMaker makeWatcher)
{
    // Without a display a window cannot start, but the answers on the terminal need none.
    const bool display = HasDisplay();
    const std::unique_ptr<QCoreApplication> app =
        display ? std::make_unique<QApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationVersion(QString::fromLatin1(TavrinVersion()));
    if (const std::optional<int> status = AnswerWithoutWindow(ReadWindowArguments(app->arguments()), m_pszHelp, display))
        return *status;
    // The desktop entry that starts the program: the window system groups its windows under it.
    QGuiApplication::setDesktopFileName(QStringLiteral("tavrin"));
    QApplication::setWindowIcon(AppIcon());
    CMessageBoxSink sink;
    CMessageSinkScope sinkScope(sink);

    CMainDlg dialog(backend, FindSettingsLocation());
    if (makeWatcher)
        dialog.WatchModulesOnceShown(makeWatcher);
    dialog.exec();
    return 0;
}
