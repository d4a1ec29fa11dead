#pragma once

#include "pages/KeyPage.h"
#include "resources/DialogItems.h"

#include <QWidget>

class QEvent;
class QKeyEvent;

// What takes a field of the keyboard or mouse page into use: a left press on it, or Enter in it.
// Enter is the keyboard's way to the same reaction, since moving into a field with Tab changes
// nothing by itself.
bool IsTakeFieldEvent(const QEvent *event);

// Enter from the main keyboard or the numeric keypad, without a modifier.
bool IsEnterKey(const QKeyEvent *event);

// A key page: a child dialog without caption or border, built from its template and created
// hidden. Subclasses connect their reactions and register themselves in InitDialog.
class CPageDlg : public QWidget, public IKeyPage {
    Q_OBJECT
public:
    CPageDlg(const DialogTemplate &dialog, QWidget *parent);

    CDialogItems &Items() { return m_items; }

protected:
    // Enter and Esc belong to no command in a page: they must neither end the page nor reach the
    // main window, which would close.
    void keyPressEvent(QKeyEvent *event) override;

private:
    CDialogItems m_items;
};
