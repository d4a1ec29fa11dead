#include "pages/PageDlg.h"

#include <QKeyEvent>

CPageDlg::CPageDlg(const DialogTemplate &dialog, QWidget *parent) : QWidget(parent), m_items(dialog, this)
{
    hide();
}

void CPageDlg::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}
