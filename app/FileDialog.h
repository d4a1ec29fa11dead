#pragma once

#include <QFileDialog>
#include <QString>

class QWidget;

// The file dialogs of the window and its key table, all made here. Where the desktop offers no
// dialog of its own, Qt's shows sizes and dates in the program's language (QLocale(), which the
// language set-up chooses), not in the system locale Qt's file model writes them in; the process's
// C locale stays as it is.
class CFileDialog final : public QFileDialog {
    Q_OBJECT
public:
    // title and filter are texts to translate.
    CFileDialog(QWidget *parent, const char *title, const char *filter, const QString &folder);
};

// The file to open, chosen in the dialog; empty when the user cancelled.
QString AskOpenPath(QWidget *parent, const char *title, const char *filter, const QString &folder);

// The file to save to, chosen in the save dialog, with suffix (".txt") added to a name that has
// none before the dialog asks whether to replace a file; empty when the user cancelled.
QString AskSavePath(QWidget *parent, const char *title, const char *filter, const QString &folder, const QString &suffix);
