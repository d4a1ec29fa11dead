#include "app/MainApp.h"

#include "app/Display.h"
#include "app/MainDlg.h"
#include "app/MessageBox.h"
#include "resources/MainTemplate.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>

namespace {
QIcon AppIcon()
{
    QIcon icon;
    for (const int size : kAppIconSizes)
        icon.addFile(QString::fromLatin1(kAppIconPrefix) + QString::number(size) + QStringLiteral(".png"),
                     QSize(size, size));
    return icon;
}
} // namespace

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

    CMainDlg dialog(backend);
    dialog.exec();
    return 0;
}
