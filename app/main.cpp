#include "app/Display.h"
#include "app/MessageBox.h"

#include <QApplication>
#include <QWidget>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (!HasDisplay()) {
        std::fprintf(stderr, "%s\n", NoDisplayHint());
        return 1;
    }
    QApplication app(argc, argv);
    CMessageBoxSink sink;
    CMessageSinkScope sinkScope(sink);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Tavrin V2.3 Vela"));
    window.show();
    return app.exec();
}
