#include "app/MessageBox.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>

QString MessageBoxTitle()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

void CMessageBoxSink::ShowMessage(const UserText &text)
{
    QMessageBox box(QMessageBox::Warning, MessageBoxTitle(), QString::fromStdString(TranslateText(text)), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
