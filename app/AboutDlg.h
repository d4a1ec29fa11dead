#pragma once

#include "resources/DialogItems.h"

#include <QDialog>

// The about box: icon, name, a notice line and "确定". OK, Esc and the close box end it.
class CAboutDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget *parent = nullptr);

private:
    CDialogItems m_items;
};
