#include "app/MessageBox.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>

void CMessageBoxSink::ShowMessage(const UserText &text)
{
    const QString title = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    QMessageBox box(QMessageBox::Warning, title, QString::fromStdString(TranslateText(text)), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
