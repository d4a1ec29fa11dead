#include "app/EntryOnPage.h"

#include "keymap/AssignmentText.h"
#include "pages/PageDlg.h"
#include "resources/GamePadTemplate.h"
#include "resources/KeyboardTemplate.h"
#include "resources/MouseTemplate.h"

#include <optional>

namespace {
const DialogTemplate &TemplateOf(PageKind kind)
{
    switch (kind) {
    case PageKind::Keyboard:
        return KeyboardTemplate();
    case PageKind::Mouse:
        return MouseTemplate();
    case PageKind::GamePad:
        return GamePadTemplate();
    }
    return KeyboardTemplate();
}

// Sets the page's controls as state holds them; a list the state leaves unchosen keeps its choice.
void ApplyState(const CControlState &state, const DialogTemplate &dialog, IDlgControls &page)
{
    for (const ControlTemplate &control : dialog.controls) {
        if (control.id == kNoId)
            continue;
        switch (control.kind) {
        case CtlKind::CheckBox:
        case CtlKind::RadioButton:
            page.CheckDlgButton(control.id, state.IsDlgButtonChecked(control.id));
            break;
        case CtlKind::Edit:
            page.SetDlgItemText(control.id, state.GetDlgItemText(control.id));
            break;
        case CtlKind::ComboBox:
            if (state.GetCurSel(control.id) >= 0)
                page.SetCurSel(control.id, state.GetCurSel(control.id));
            break;
        default:
            break;
        }
    }
}
} // namespace

PageKind PageKindOfRecord(const KeyRecord &record)
{
    const unsigned type = record[0] >> 6;
    return type <= 2 ? static_cast<PageKind>(type) : PageKind::Keyboard;
}

bool SetPageToEntry(CPageDlg &page, PageKind kind, const KeyMapEntry &entry)
{
    std::optional<CControlState> state = PageStateOfText(entry.text, kind);
    if (!state)
        state = PageStateOfText({}, kind);
    if (state)
        ApplyState(*state, TemplateOf(kind), page.Items());
    std::uint8_t value1 = 0, value2 = 0;
    std::optional<UserText> refusal;
    page.GetKeyAssignment(value1, value2, refusal);
    return !refusal && MakeKeyRecord(entry.keyIndex, kind, value1, value2) == entry.record;
}
