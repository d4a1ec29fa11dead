#include "app/MainApp.h"

#include "app/Display.h"
#include "app/MainDlg.h"
#include "app/MessageBox.h"
#include "resources/AppIcon.h"
#include "settings/ModuleSettings.h"
#include "translations/Translation.h"

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {
bool AsksForHelp(const std::vector<std::string> &args)
{
    return std::any_of(args.begin(), args.end(), [](const std::string &arg) { return arg == "--help" || arg == "-h"; });
}

// What a run says on the terminal instead of opening the window: its help, the refusal of a
// --lang it does not know, or that there is no display. Nothing when the window is to open.
std::optional<int> AnswerWithoutWindow(int argc, char *argv[], std::vector<std::string> args, const char *help)
{
    std::vector<std::string> rest = args;
    std::optional<Language> chosen;
    const bool helpAsked = AsksForHelp(args);
    if (!helpAsked && TakeLanguageOption(rest, chosen) && HasDisplay())
        return std::nullopt;
    // Answers in the run's language need only the application object without a display.
    QCoreApplication app(argc, argv);
    if (!SetUpLanguage(args))
        return 2;
    if (helpAsked) {
        std::printf("%s\n", TranslateText({help, {}}).c_str());
        return 0;
    }
    std::fprintf(stderr, "%s\n", TranslateText(NoDisplayHint(argv[0])).c_str());
    return 1;
}
} // namespace

int CMainApp::Run(int argc, char *argv[], IHidBackend &backend, std::unique_ptr<IModuleWatcher> watcher)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (const std::optional<int> status = AnswerWithoutWindow(argc, argv, args, m_pszHelp))
        return *status;
    QApplication app(argc, argv);
    if (!SetUpLanguage(args))
        return 2;
    QApplication::setWindowIcon(AppIcon());
    CMessageBoxSink sink;
    CMessageSinkScope sinkScope(sink);

    CMainDlg dialog(backend, FindSettingsLocation());
    dialog.WatchModules(std::move(watcher));
    dialog.exec();
    return 0;
}
