#include "app/MessageBox.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>

void CMessageBoxSink::ShowMessage(const std::string &text)
{
    const QString title = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    QMessageBox box(QMessageBox::Warning, title, QString::fromStdString(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
