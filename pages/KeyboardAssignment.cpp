#include "pages/KeyboardAssignment.h"

#include "common/UserText.h"
#include "pages/KeyCodes.h"
#include "pages/KeyboardIds.h"

#include <span>

namespace {
using namespace KeyboardId;

bool NoKeyChosen(const IDlgControls &controls)
{
    return controls.IsDlgButtonChecked(kSpecialNone) && controls.IsDlgButtonChecked(kFnNone) &&
           controls.IsDlgButtonChecked(kMediaNone);
}

// Adds the ticked modifiers to the flags (a modifier turns the media flag off) and returns their
// names joined by "+", in table order.
std::string TickModifiers(const IDlgControls &controls, std::uint8_t &flags)
{
    std::string names;
    for (const KeyEntry &modifier : kModifierKeys) {
        if (!controls.IsDlgButtonChecked(modifier.id))
            continue;
        flags = static_cast<std::uint8_t>((flags & ~KeyFlag::kMedia) | modifier.code);
        names += names.empty() ? std::string(modifier.token) : JoinedForm(modifier.token);
    }
    return names;
}

const KeyEntry *FirstChecked(const IDlgControls &controls, std::span<const KeyEntry> keys)
{
    for (const KeyEntry &key : keys) {
        if (controls.IsDlgButtonChecked(key.id))
            return &key;
    }
    return nullptr;
}

constexpr unsigned char kFirstNonAscii = 0x80;

// The first character of a UTF-8 text: its lead byte and the continuation bytes after it.
std::string FirstCharacter(const std::string &text)
{
    std::size_t end = 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        ++end;
    return text.substr(0, end);
}

std::string CharacterCase(const IDlgControls &controls, const std::string &text, std::uint8_t &flags,
                          std::uint8_t &code, std::optional<UserText> &refusal)
{
    const auto ch = static_cast<unsigned char>(text.front());
    if (ch >= kFirstNonAscii) {
        refusal = UserText{QT_TRANSLATE_NOOP("Tavrin", "“%1”不是英文键盘上的字符，键值未写入！"), {FirstCharacter(text)}};
        return {};
    }
    std::string description = text;
    const std::string modifiers = TickModifiers(controls, flags);
    if (!modifiers.empty())
        description += JoinedForm(modifiers);
    if (ch >= 'a' && ch <= 'z')
        flags &= ~KeyFlag::kUpperCase;
    else if (ch >= 'A' && ch <= 'Z')
        flags |= KeyFlag::kUpperCase;
    CharToKeyCode(ch, flags, code);
    flags |= KeyFlag::kCustomChar;
    return description;
}

std::string CodeCase(const IDlgControls &controls, const std::string &text, std::uint8_t &flags, std::uint8_t &code)
{
    const std::string prefix = TickModifiers(controls, flags);
    code = ParseHidCode(text);
    flags &= ~KeyFlag::kCustomChar;
    // The text goes into the description as typed, not as read.
    std::string description(kHidOpen);
    description += text;
    description += kHidClose;
    return flags != 0 ? prefix + JoinedForm(description) : description;
}

std::string KeyCase(const IDlgControls &controls, std::uint8_t &flags, std::uint8_t &code)
{
    const std::string prefix = TickModifiers(controls, flags);
    flags &= ~KeyFlag::kCustomChar;
    const KeyEntry *key = FirstChecked(controls, kSpecialKeys);
    if (!key)
        key = FirstChecked(controls, kFunctionKeys);
    if (key) {
        code = key->code;
        return flags != 0 ? prefix + JoinedForm(key->token) : std::string(key->token);
    }
    if (const KeyEntry *media = FirstChecked(controls, kMediaKeys)) {
        // The module reads the code byte as media bits only under the media flag, and a modifier
        // bit would make it a usage instead: a media key ignores the modifiers.
        flags = KeyFlag::kMedia;
        code = media->code;
        return media->token;
    }
    return prefix;
}

// A radio group of the page: its "无" radio and the range of its keys.
struct RadioGroup {
    int none;
    int first;
    int last;
};

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

const RadioGroup *GroupOf(int radio)
{
    for (const RadioGroup &group : kGroups) {
        if (radio >= group.none && radio <= group.last)
            return &group;
    }
    return nullptr;
}
} // namespace

namespace Keyboard {
std::string GetKeyAssignment(const IDlgControls &controls, std::uint8_t &flags, std::uint8_t &code,
                             std::optional<UserText> &refusal)
{
    if (controls.IsDlgButtonChecked(kMediaNone))
        flags &= ~KeyFlag::kMedia;
    else
        flags |= KeyFlag::kMedia;

    const bool noKey = NoKeyChosen(controls);
    const std::string charText = controls.GetDlgItemText(kCharField);
    if (!charText.empty() && noKey && controls.IsDlgButtonChecked(kCodeNone))
        return CharacterCase(controls, charText, flags, code, refusal);
    const std::string codeText = controls.GetDlgItemText(kCodeField);
    if (!codeText.empty() && noKey && controls.IsDlgButtonChecked(kCharNone))
        return CodeCase(controls, codeText, flags, code);
    return KeyCase(controls, flags, code);
}

void ClickRadio(IDlgControls &controls, int radio)
{
    const RadioGroup *own = GroupOf(radio);
    if (!own) {
        controls.CheckDlgButton(radio, true);
        return;
    }
    for (int id = own->none; id <= own->last; ++id)
        controls.CheckDlgButton(id, id == radio);
    // The media group's own "无" counts as a media choice: it too clears the other groups.
    if (radio == kSpecialNone || radio == kFnNone)
        return;
    for (const RadioGroup &group : kGroups) {
        if (&group != own)
            SetGroupNone(controls, group);
    }
    controls.CheckDlgButton(kCharNone, true);
    controls.CheckDlgButton(kCodeNone, true);
}

void TakeField(IDlgControls &controls, int field)
{
    for (const RadioGroup &group : kGroups)
        SetGroupNone(controls, group);
    controls.CheckDlgButton(kCharNone, field != kCharField);
    controls.CheckDlgButton(kCodeNone, field == kCharField);
}
} // namespace Keyboard
