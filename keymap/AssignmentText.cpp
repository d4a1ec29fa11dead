#include "keymap/AssignmentText.h"

#include "keymap/ControlState.h"
#include "pages/GamePadAssignment.h"
#include "pages/GamePadIds.h"
#include "pages/KeyCodes.h"
#include "pages/KeyboardAssignment.h"
#include "pages/MouseAssignment.h"
#include "pages/MouseIds.h"

#include <span>
#include <string>
#include <vector>

namespace {
// A text read as a page state: the page's bytes and that state of its controls, or the page's
// refusal of that state.
struct Reading {
    std::optional<PageAssignment> assignment;
    std::optional<UserText> refusal;
    CControlState state;
};

// What a page state gives when its text is the one being read. A refusal leaves no text to
// compare: it counts only where the caller knows the state has the text's shape.
Reading RunKeyboard(const CControlState &state, std::string_view text)
{
    std::uint8_t flags = 0;
    std::uint8_t code = 0;
    Reading reading{std::nullopt, std::nullopt, state};
    if (Keyboard::GetKeyAssignment(state, flags, code, reading.refusal) == text && !reading.refusal)
        reading.assignment = PageAssignment{PageKind::Keyboard, flags, code};
    return reading;
}

Reading RunMouse(const CControlState &state, std::string_view text)
{
    std::uint8_t value1 = 0;
    std::uint8_t value2 = 0;
    Reading reading{std::nullopt, std::nullopt, state};
    if (GetMouseAssignment(state, value1, value2, reading.refusal) == text && !reading.refusal)
        reading.assignment = PageAssignment{PageKind::Mouse, value1, value2};
    return reading;
}

// A reading that gave the text, or nothing.
std::optional<Reading> Read(Reading reading)
{
    return reading.assignment ? std::optional(std::move(reading)) : std::nullopt;
}

void TickModifiers(CControlState &state, const std::vector<int> &modifiers)
{
    for (const int id : modifiers)
        state.CheckDlgButton(id, true);
}

// A key radio clicked, then the modifiers ticked.
std::optional<Reading> KeyRadioText(std::span<const KeyEntry> keys, std::string_view rest,
                                           const std::vector<int> &modifiers, std::string_view text)
{
    for (const KeyEntry &key : keys) {
        if (rest != key.token)
            continue;
        CControlState state;
        Keyboard::ClickRadio(state, key.id);
        TickModifiers(state, modifiers);
        return Read(RunKeyboard(state, text));
    }
    return std::nullopt;
}

// Nothing chosen: the media "无" clicked, which sets every group and both fields to "无".
CControlState NothingChosen(const std::vector<int> &modifiers)
{
    CControlState state;
    Keyboard::ClickRadio(state, KeyboardId::kMediaNone);
    TickModifiers(state, modifiers);
    return state;
}

// A key, a typed code, a media key or modifiers alone: "CTRL+ALT+DEL", "ALT+HID(41)", "VOL_UP".
std::optional<Reading> KeyboardKeyText(std::string_view text)
{
    if (auto media = KeyRadioText(kMediaKeys, text, {}, text))
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
        return modifiers.empty() ? std::nullopt : Read(RunKeyboard(NothingChosen(modifiers), text));
    if (rest.starts_with(kHidOpen) && rest.ends_with(kHidClose) && rest.size() >= kHidOpen.size() + kHidClose.size()) {
        CControlState state;
        Keyboard::TakeField(state, KeyboardId::kCodeField);
        state.SetDlgItemText(KeyboardId::kCodeField,
                             std::string(rest.substr(kHidOpen.size(), rest.size() - kHidOpen.size() - kHidClose.size())));
        TickModifiers(state, modifiers);
        return Read(RunKeyboard(state, text));
    }
    if (auto special = KeyRadioText(kSpecialKeys, rest, modifiers, text))
        return special;
    return KeyRadioText(kFunctionKeys, rest, modifiers, text);
}

// The character field's text followed by the modifiers' joined forms: "ab+CTRL+SHIFT". As many
// modifiers as the text ends in are ticked, the field keeping at least one character.
Reading CharacterText(std::string_view text)
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
    CControlState state;
    Keyboard::TakeField(state, KeyboardId::kCharField);
    state.SetDlgItemText(KeyboardId::kCharField, std::string(field));
    TickModifiers(state, modifiers);
    return RunKeyboard(state, text);
}

// Where the count of a movement or wheel piece stands: the text's last number, with its sign.
struct CountPlace {
    std::size_t begin;
    std::size_t end;
};

std::optional<CountPlace> LastNumber(std::string_view text)
{
    const std::size_t last = text.find_last_of("0123456789");
    if (last == std::string_view::npos)
        return std::nullopt;
    std::size_t begin = text.find_last_not_of("0123456789", last);
    begin = begin == std::string_view::npos ? 0 : begin + (text[begin] == '-' ? 0 : 1);
    return CountPlace{begin, last + 1};
}

// A refused count belongs to this state only when the state gives the text's shape with a count
// of 0, which the page always takes.
bool HasShape(CControlState state, int countField, const CountPlace &count, std::string_view text)
{
    state.SetDlgItemText(countField, "0");
    const std::string shape = std::string(text.substr(0, count.begin)) + "0" + std::string(text.substr(count.end));
    return RunMouse(state, shape).assignment.has_value();
}

// Every combination of the three buttons, with nothing else, a movement or the wheel in either
// direction: the states the page can be in, the count as the text writes it.
Reading MouseText(std::string_view text)
{
    const std::optional<CountPlace> count = LastNumber(text);
    const int buttons[] = {MouseId::kLeftButton, MouseId::kMiddleButton, MouseId::kRightButton};
    Reading refused;
    for (int subset = 0; subset < 8; ++subset) {
        CControlState base;
        for (int bit = 0; bit < 3; ++bit)
            base.CheckDlgButton(buttons[bit], (subset >> bit) & 1);
        CControlState plain = base;
        ClickMouseRadio(plain, MouseId::kWheelNone);
        if (Reading reading = RunMouse(plain, text); reading.assignment)
            return reading;
        if (!count)
            continue;
        std::vector<std::pair<CControlState, int>> states; // with the field that takes the count
        for (const MouseMove &move : kMouseMoves) {
            states.emplace_back(base, move.countField);
            ClickMouseRadio(states.back().first, move.button);
        }
        for (int turn = 0; turn < 2; ++turn) {
            states.emplace_back(base, MouseId::kWheelCount);
            ClickMouseRadio(states.back().first, MouseId::kMoveNone);
            states.back().first.SetCurSel(MouseId::kWheelDirection, turn);
        }
        for (auto &[state, field] : states) {
            state.SetDlgItemText(field, std::string(text.substr(count->begin, count->end - count->begin)));
            Reading reading = RunMouse(state, text);
            if (reading.assignment)
                return reading;
            if (reading.refusal && !refused.refusal && HasShape(state, field, *count, text))
                refused.refusal = reading.refusal;
        }
    }
    return refused;
}

Reading GamePadText(std::string_view text)
{
    for (const int choice : kGamePadChoices) {
        CControlState state;
        ClickGamePadChoice(state, choice);
        std::uint8_t value1 = 0;
        std::uint8_t value2 = 0;
        if (GetGamePadAssignment(state, value1, value2) == text)
            return {PageAssignment{PageKind::GamePad, value1, value2}, std::nullopt, state};
    }
    return {};
}

Reading KeyboardText(std::string_view text)
{
    if (text.empty())
        return RunKeyboard(NothingChosen({}), text);
    if (auto key = KeyboardKeyText(text))
        return std::move(*key);
    return CharacterText(text);
}

// Without a page: the plain states first, the character field, which can spell any text, last.
Reading AnyPageText(std::string_view text)
{
    if (text.empty())
        return {};
    if (Reading gamepad = GamePadText(text); gamepad.assignment)
        return gamepad;
    Reading mouse = MouseText(text);
    if (mouse.assignment)
        return mouse;
    if (auto key = KeyboardKeyText(text))
        return std::move(*key);
    if (mouse.refusal)
        return mouse;
    return CharacterText(text);
}

Reading ReadText(std::string_view text, std::optional<PageKind> page)
{
    if (!page)
        return AnyPageText(text);
    switch (*page) {
    case PageKind::Keyboard:
        return KeyboardText(text);
    case PageKind::Mouse:
        return MouseText(text);
    case PageKind::GamePad:
        return GamePadText(text);
    }
    return {};
}
} // namespace

std::optional<PageAssignment> ParseAssignmentText(std::string_view text, std::optional<PageKind> page,
                                                  std::optional<UserText> *refusal)
{
    Reading reading = ReadText(text, page);
    if (refusal)
        *refusal = std::move(reading.refusal);
    return reading.assignment;
}

std::optional<CControlState> PageStateOfText(std::string_view text, PageKind page)
{
    Reading reading = ReadText(text, page);
    if (!reading.assignment)
        return std::nullopt;
    return std::move(reading.state);
}

bool IsLongCharacterField(std::string_view text)
{
    const auto assignment = ParseAssignmentText(text);
    if (!assignment || assignment->kind != PageKind::Keyboard || !(assignment->value1 & KeyFlag::kCustomChar))
        return false;
    const std::optional<CControlState> state = PageStateOfText(text, PageKind::Keyboard);
    return state && state->GetDlgItemText(KeyboardId::kCharField).size() > 1;
}
