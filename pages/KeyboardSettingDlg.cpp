#include "pages/KeyboardSettingDlg.h"

#include "pages/KeyboardAssignment.h"
#include "pages/KeyboardIds.h"
#include "resources/KeyboardTemplate.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMouseEvent>

KeyboardSettingDlg *g_pKeyboardSettingDlg = nullptr;

using namespace KeyboardId;

KeyboardSettingDlg::KeyboardSettingDlg(QWidget *parent) : CPageDlg(KeyboardTemplate(), parent)
{
    // The three key groups' radios stand in one run of identifiers.
    for (int id = kSpecialNone; id <= kMediaLast; ++id) {
        connect(Items().Item<QAbstractButton>(id), &QAbstractButton::clicked, this,
                [this, id] { Keyboard::ClickRadio(Items(), id); });
    }
    for (int field : {kCharField, kCodeField})
        Items().GetDlgItem(field)->installEventFilter(this);
    g_pKeyboardSettingDlg = this;
}

// The pages go with their window; the write-key operation must not reach one that has gone.
KeyboardSettingDlg::~KeyboardSettingDlg()
{
    if (g_pKeyboardSettingDlg == this)
        g_pKeyboardSettingDlg = nullptr;
}

const PageClass &KeyboardSettingDlg::Class()
{
    static const PageClass kClass{"KeyboardSettingDlg", KeyboardTemplate().id,
                                  [](QWidget *parent) -> CPageDlg * { return new KeyboardSettingDlg(parent); }};
    return kClass;
}

std::string KeyboardSettingDlg::GetKeyAssignment(std::uint8_t &value1, std::uint8_t &value2,
                                                 std::optional<UserText> &refusal)
{
    return Keyboard::GetKeyAssignment(Items(), value1, value2, refusal);
}

bool KeyboardSettingDlg::eventFilter(QObject *watched, QEvent *event)
{
    auto *field = qobject_cast<QLineEdit *>(watched);
    if (!field)
        return CPageDlg::eventFilter(watched, event);
    if (IsTakeFieldEvent(event)) {
        TakeField(field);
        return true;
    }
    // The field never saw the press, so moving on with the button down must not shrink the
    // selection the press made.
    if (event->type() == QEvent::MouseMove && (static_cast<QMouseEvent *>(event)->buttons() & Qt::LeftButton))
        return true;
    return CPageDlg::eventFilter(watched, event);
}

// The field becomes the choice. Its whole text is selected so the next keystroke replaces the old
// character; the selection ends at the text's end, which the edit scrolls into view.
void KeyboardSettingDlg::TakeField(QLineEdit *field)
{
    field->setFocus(Qt::MouseFocusReason);
    field->selectAll();
    Keyboard::TakeField(Items(), field == Items().GetDlgItem(kCharField) ? kCharField : kCodeField);
}
