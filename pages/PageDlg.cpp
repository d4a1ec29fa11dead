#include "pages/PageDlg.h"

#include <QKeyEvent>
#include <QMouseEvent>

CPageDlg::CPageDlg(const DialogTemplate &dialog, QWidget *parent) : QWidget(parent), m_items(dialog, this)
{
    hide();
}

bool IsTakeFieldEvent(const QEvent *event)
{
    // A double-click starts with a press the filter took, so its second press is taken too.
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
        return static_cast<const QMouseEvent *>(event)->button() == Qt::LeftButton;
    if (event->type() != QEvent::KeyPress)
        return false;
    return IsEnterKey(static_cast<const QKeyEvent *>(event));
}

bool IsEnterKey(const QKeyEvent *event)
{
    return (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
           (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
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
