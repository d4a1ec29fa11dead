#include "pages/PageDlg.h"

#include <QKeyEvent>
#include <QMouseEvent>

CPageDlg::CPageDlg(const DialogTemplate &dialog, QWidget *parent) : QWidget(parent), m_items(dialog, this)
{
    hide();
}

bool IsTakeFieldEvent(const QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress)
        return static_cast<const QMouseEvent *>(event)->button() == Qt::LeftButton;
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<const QKeyEvent *>(event);
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
           (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
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
