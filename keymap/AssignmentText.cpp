#include "keymap/AssignmentText.h"

#include "keymap/ControlState.h"
#include "pages/GamePadAssignment.h"
#include "pages/GamePadIds.h"
#include "pages/KeyCodes.h"
#include "pages/KeyboardAssignment.h"
#include "pages/MouseAssignment.h"
#include "pages/MouseIds.h"

#include <charconv>
#include <span>
#include <string>
#include <vector>

namespace {
// An assignment and the state of the page's controls that produces it.
struct Reading {
    PageAssignment assignment;
    CControlState state;
};

// What the page's reactions leave when a key, a field or nothing is chosen: every "无" checked,
// and the ticked modifiers.
CControlState KeyboardState(const std::vector<int> &modifiers)
{
    CControlState state;
    for (const int id : {KeyboardId::kSpecialNone, KeyboardId::kFnNone, KeyboardId::kMediaNone, KeyboardId::kCharNone,
                         KeyboardId::kCodeNone})
        state.CheckDlgButton(id, true);
    for (const int id : modifiers)
        state.CheckDlgButton(id, true);
    return state;
}

std::optional<Reading> RunKeyboard(const CControlState &state, std::string_view text)
{
    std::uint8_t flags = 0;
    std::uint8_t code = 0;
    bool refused = false;
    if (Keyboard::GetKeyAssignment(state, flags, code, refused) != text || refused)
        return std::nullopt;
    return Reading{{PageKind::Keyboard, flags, code}, state};
}

// Choosing a key radio leaves the other two groups at "无"; its own group's "无" goes off.
std::optional<Reading> KeyRadioText(std::span<const KeyEntry> keys, int groupNone, std::string_view rest,
                                           const std::vector<int> &modifiers, std::string_view text)
{
    for (const KeyEntry &key : keys) {
        if (rest != key.token)
            continue;
        CControlState state = KeyboardState(modifiers);
        state.CheckDlgButton(groupNone, false);
        state.CheckDlgButton(key.id, true);
        return RunKeyboard(state, text);
    }
    return std::nullopt;
}

// A key, a typed code, a media key or modifiers alone: "CTRL+ALT+DEL", "ALT+HID(41)", "VOL_UP".
std::optional<Reading> KeyboardKeyText(std::string_view text)
{
    if (auto media = KeyRadioText(kMediaKeys, KeyboardId::kMediaNone, text, {}, text))
        return media;
    std::vector<int> modifiers;
    std::string_view rest = text;
    for (const KeyEntry &modifier : kModifierKeys) {
        const std::string_view token = modifier.token;
        if (rest.starts_with(token) && (rest.size() == token.size() || rest[token.size()] == '+')) {
            modifiers.push_back(modifier.id);
            rest.remove_prefix(std::min(rest.size(), token.size() + 1));
        }
    }
    if (rest.empty())
        return modifiers.empty() ? std::nullopt : RunKeyboard(KeyboardState(modifiers), text);
    if (rest.starts_with(kHidOpen) && rest.ends_with(kHidClose) && rest.size() >= kHidOpen.size() + kHidClose.size()) {
        CControlState state = KeyboardState(modifiers);
        state.SetDlgItemText(KeyboardId::kCodeField,
                             std::string(rest.substr(kHidOpen.size(), rest.size() - kHidOpen.size() - kHidClose.size())));
        state.CheckDlgButton(KeyboardId::kCodeNone, false);
        return RunKeyboard(state, text);
    }
    if (auto special = KeyRadioText(kSpecialKeys, KeyboardId::kSpecialNone, rest, modifiers, text))
        return special;
    return KeyRadioText(kFunctionKeys, KeyboardId::kFnNone, rest, modifiers, text);
}

bool IsOneCharacter(std::string_view text)
{
    if (text.empty())
        return false;
    const auto lead = static_cast<unsigned char>(text.front());
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    return text.size() == length;
}

// The character field's text followed by the modifiers' joined forms: "a+CTRL+SHIFT".
std::optional<Reading> CharacterText(std::string_view text, bool anyLength)
{
    std::vector<int> modifiers;
    std::string_view field = text;
    for (auto modifier = kModifierKeys.rbegin(); modifier != kModifierKeys.rend(); ++modifier) {
        const std::string suffix = JoinedForm(modifier->token);
        if (field.size() > suffix.size() && field.ends_with(suffix)) {
            modifiers.push_back(modifier->id);
            field.remove_suffix(suffix.size());
        }
    }
    if (field.empty() || (!anyLength && !IsOneCharacter(field)))
        return std::nullopt;
    CControlState state = KeyboardState(modifiers);
    state.SetDlgItemText(KeyboardId::kCharField, std::string(field));
    state.CheckDlgButton(KeyboardId::kCharNone, false);
    return RunKeyboard(state, text);
}

std::optional<Reading> KeyboardText(std::string_view text, bool anyCharacterField)
{
    if (text.empty())
        return anyCharacterField ? RunKeyboard(KeyboardState({}), text) : std::nullopt;
    if (auto key = KeyboardKeyText(text))
        return key;
    return CharacterText(text, anyCharacterField);
}

// A wheel piece ends in a blank that an editor may have dropped; the page's text is the truth.
std::optional<Reading> RunMouse(const CControlState &state, std::string_view text)
{
    std::uint8_t value1 = 0;
    std::uint8_t value2 = 0;
    bool refused = false;
    const std::string produced = GetMouseAssignment(state, value1, value2, refused);
    const bool blankDropped = produced.ends_with(' ') && std::string_view(produced).substr(0, produced.size() - 1) == text;
    if (refused || (produced != text && !blankDropped))
        return std::nullopt;
    return Reading{{PageKind::Mouse, value1, value2}, state};
}

// The last number of a text, the count of a movement or wheel piece, and where it stands.
struct Count {
    int value;
    std::size_t begin;
    std::size_t end;
};

std::optional<Count> LastNumber(std::string_view text)
{
    const std::size_t last = text.find_last_of("0123456789");
    if (last == std::string_view::npos)
        return std::nullopt;
    std::size_t begin = text.find_last_not_of("0123456789", last);
    begin = begin == std::string_view::npos ? 0 : begin + (text[begin] == '-' ? 0 : 1);
    int number = 0;
    const auto [end, error] = std::from_chars(text.data() + begin, text.data() + last + 1, number);
    if (error != std::errc() || end != text.data() + last + 1)
        number = 1 << 30; // beyond every limit, like any number too long for an int
    return Count{number, begin, last + 1};
}

// A count beyond the page's limit in a text of the page's shape: the page refuses it with its own
// message. The shape is tried with the count 0, which the page always takes.
bool RefusedByPage(CControlState state, int countField, const Count &count, std::string_view text)
{
    state.SetDlgItemText(countField, "0");
    const std::string shape = std::string(text.substr(0, count.begin)) + "0" + std::string(text.substr(count.end));
    if (!RunMouse(state, shape))
        return false;
    state.SetDlgItemText(countField, std::string(text.substr(count.begin, count.end - count.begin)));
    std::uint8_t value1 = 0;
    std::uint8_t value2 = 0;
    bool refused = false;
    GetMouseAssignment(state, value1, value2, refused);
    return refused;
}

// Every combination of the three buttons, with nothing else, a movement or the wheel: the states
// the page can be in. A count the page refuses is refused as the page does.
std::optional<Reading> MouseText(std::string_view text, bool &refused)
{
    const std::optional<Count> count = LastNumber(text);
    const int buttons[] = {MouseId::kLeftButton, MouseId::kMiddleButton, MouseId::kRightButton};
    for (int subset = 0; subset < 8; ++subset) {
        CControlState base;
        for (int bit = 0; bit < 3; ++bit)
            base.CheckDlgButton(buttons[bit], (subset >> bit) & 1);
        CControlState plain = base;
        plain.CheckDlgButton(MouseId::kWheelNone, true);
        if (auto result = RunMouse(plain, text))
            return result;
        if (!count)
            continue;
        std::vector<std::pair<CControlState, int>> states; // with the field that takes the count
        for (const MouseMove &move : kMouseMoves) {
            states.emplace_back(plain, move.countField);
            states.back().first.CheckDlgButton(move.button, true);
        }
        for (int turn = 0; turn < 2; ++turn) {
            states.emplace_back(base, MouseId::kWheelCount);
            states.back().first.CheckDlgButton(MouseId::kMoveNone, true);
            states.back().first.SetCurSel(MouseId::kWheelDirection, turn);
        }
        for (auto &[state, field] : states) {
            const bool wheel = field == MouseId::kWheelCount;
            if (count->value < (wheel ? -128 : 0) || count->value > 127) {
                refused = refused || RefusedByPage(state, field, *count, text);
                continue;
            }
            state.SetDlgItemText(field, std::to_string(count->value));
            if (auto result = RunMouse(state, text))
                return result;
        }
    }
    return std::nullopt;
}

std::optional<Reading> GamePadText(std::string_view text)
{
    for (const int choice : kGamePadChoices) {
        CControlState state;
        state.CheckDlgButton(choice, true);
        std::uint8_t value1 = 0;
        std::uint8_t value2 = 0;
        if (GetGamePadAssignment(state, value1, value2) == text)
            return Reading{{PageKind::GamePad, value1, value2}, state};
    }
    return std::nullopt;
}

std::optional<Reading> ReadText(std::string_view text, std::optional<PageKind> page, bool &refused)
{
    if (!page) {
        if (text.empty())
            return std::nullopt;
        if (auto gamepad = GamePadText(text))
            return gamepad;
        if (auto mouse = MouseText(text, refused); mouse || refused)
            return mouse;
        return KeyboardText(text, false);
    }
    switch (*page) {
    case PageKind::Keyboard:
        return KeyboardText(text, true);
    case PageKind::Mouse:
        return MouseText(text, refused);
    case PageKind::GamePad:
        return GamePadText(text);
    }
    return std::nullopt;
}
} // namespace

std::optional<PageAssignment> ParseAssignmentText(std::string_view text, std::optional<PageKind> page, bool *pRefused)
{
    bool refused = false;
    const auto result = ReadText(text, page, refused);
    if (pRefused)
        *pRefused = refused;
    if (!result)
        return std::nullopt;
    return result->assignment;
}

std::optional<CControlState> PageStateOfText(std::string_view text, PageKind page)
{
    bool refused = false;
    auto result = ReadText(text, page, refused);
    if (!result)
        return std::nullopt;
    return std::move(result->state);
}
