#include "app/MainApp.h"

#include "app/Display.h"
#include "app/MainDlg.h"
#include "app/MessageBox.h"
#include "resources/AppIcon.h"
#include "settings/ModuleSettings.h"
#include "translations/Translation.h"

#include <QApplication>

#include <cstdio>
#include <string>
#include <vector>

int CMainApp::Run(int argc, char *argv[], IHidBackend &backend, std::unique_ptr<IModuleWatcher> watcher)
{
    if (!HasDisplay()) {
        std::fprintf(stderr, "%s\n", NoDisplayHint());
        return 1;
    }
    std::vector<std::string> args(argv + 1, argv + argc);
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
