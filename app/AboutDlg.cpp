#include "app/AboutDlg.h"

#include "resources/MainTemplate.h"

#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget *parent) : QDialog(parent), m_items(AboutDlgTemplate(), this)
{
    setFixedSize(size());
    auto *ok = m_items.Item<QPushButton>(1);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
