#include "pages/KeyboardSettingDlg.h"

#include "pages/KeyboardAssignment.h"
#include "pages/KeyboardIds.h"
#include "resources/KeyboardTemplate.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMouseEvent>

KeyboardSettingDlg *g_pKeyboardSettingDlg = nullptr;

namespace {
using namespace KeyboardId;

// A radio group of the page: its "无" radio and the range of its keys.
struct RadioGroup {
    int none;
    int first;
    int last;
};

enum GroupIndex { kSpecialGroup, kFnGroup, kMediaGroup };
constexpr RadioGroup kGroups[] = {
    {kSpecialNone, kSpecialFirst, kSpecialLast},
    {kFnNone, kFnFirst, kFnLast},
    {kMediaNone, kMediaFirst, kMediaLast},
};

void SetGroupNone(IDlgControls &controls, const RadioGroup &group)
{
    controls.CheckDlgButton(group.none, true);
    for (int id = group.first; id <= group.last; ++id)
        controls.CheckDlgButton(id, false);
}

// A key of one group rules out the keys of the other groups and both fields.
void ChooseKey(IDlgControls &controls, int chosenGroup)
{
    for (int group = kSpecialGroup; group <= kMediaGroup; ++group) {
        if (group != chosenGroup)
            SetGroupNone(controls, kGroups[group]);
    }
    controls.CheckDlgButton(kCharNone, true);
    controls.CheckDlgButton(kCodeNone, true);
}
} // namespace

KeyboardSettingDlg::KeyboardSettingDlg(QWidget *parent) : CPageDlg(KeyboardTemplate(), parent)
{
    ConnectKeys(kSpecialFirst, kSpecialLast, kSpecialGroup);
    ConnectKeys(kFnFirst, kFnLast, kFnGroup);
    // The media group's own "无" counts as a media choice: it too clears the other groups.
    ConnectKeys(kMediaNone, kMediaLast, kMediaGroup);
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

std::string KeyboardSettingDlg::GetKeyAssignment(std::uint8_t &value1, std::uint8_t &value2, bool &refused)
{
    return Keyboard::GetKeyAssignment(Items(), value1, value2, refused);
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

void KeyboardSettingDlg::ConnectKeys(int first, int last, int chosenGroup)
{
    for (int id = first; id <= last; ++id) {
        connect(Items().Item<QAbstractButton>(id), &QAbstractButton::clicked, this,
                [this, chosenGroup] { ChooseKey(Items(), chosenGroup); });
    }
}

// The field becomes the choice: every key group to none, and only the other field's "无" checked.
// Its whole text is selected so the next keystroke replaces the old character; the selection
// ends at the text's end, which the edit scrolls into view.
void KeyboardSettingDlg::TakeField(QLineEdit *field)
{
    field->setFocus(Qt::MouseFocusReason);
    field->selectAll();
    for (const RadioGroup &group : kGroups)
        SetGroupNone(Items(), group);
    const bool isCharField = field == Items().GetDlgItem(kCharField);
    Items().CheckDlgButton(kCharNone, !isCharField);
    Items().CheckDlgButton(kCodeNone, isCharField);
}
