#include "app/MainApp.h"

#include "app/Display.h"
#include "app/MainDlg.h"
#include "app/MessageBox.h"
#include "resources/AppIcon.h"
#include "settings/ModuleSettings.h"

#include <QApplication>

#include <cstdio>

int CMainApp::Run(int argc, char *argv[], IHidBackend &backend)
{
    if (!HasDisplay()) {
        std::fprintf(stderr, "%s\n", NoDisplayHint());
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setWindowIcon(AppIcon());
    CMessageBoxSink sink;
    CMessageSinkScope sinkScope(sink);

    CMainDlg dialog(backend, FindSettingsLocation());
    dialog.exec();
    return 0;
}
