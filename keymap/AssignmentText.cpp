#include "keymap/AssignmentText.h"

#include "keymap/ControlState.h"
#include "pages/GamePadAssignment.h"
#include "pages/GamePadIds.h"
#include "pages/KeyCodes.h"
#include "pages/KeyboardAssignment.h"
#include "pages/MouseAssignment.h"
#include "pages/MouseIds.h"

#include <algorithm>
#include <cctype>
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

// The text a keyboard state logs, or nothing where the page refuses it.
std::string RunKeyboardText(const CControlState &state)
{
    std::uint8_t flags = 0;
    std::uint8_t code = 0;
    std::optional<UserText> refusal;
    std::string text = Keyboard::GetKeyAssignment(state, flags, code, refusal);
    return refusal ? std::string() : text;
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

// The keyboard's named texts: each key and each modifier set alone or in front of it, the media
// keys, and a typed code with the number the text holds.
void AddKeyboardTexts(std::vector<std::string> &texts, const std::string &number)
{
    const auto add = [&](const CControlState &state) {
        if (std::string text = RunKeyboardText(state); !text.empty())
            texts.push_back(std::move(text));
    };
    for (const KeyEntry &media : kMediaKeys) {
        CControlState state;
        Keyboard::ClickRadio(state, media.id);
        add(state);
    }
    for (unsigned subset = 0; subset < (1u << kModifierKeys.size()); ++subset) {
        std::vector<int> modifiers;
        for (std::size_t bit = 0; bit < kModifierKeys.size(); ++bit) {
            if (subset & (1u << bit))
                modifiers.push_back(kModifierKeys[bit].id);
        }
        for (const auto keys : {std::span<const KeyEntry>(kSpecialKeys), std::span<const KeyEntry>(kFunctionKeys)}) {
            for (const KeyEntry &key : keys) {
                CControlState state;
                Keyboard::ClickRadio(state, key.id);
                TickModifiers(state, modifiers);
                add(state);
            }
        }
        CControlState code;
        Keyboard::TakeField(code, KeyboardId::kCodeField);
        code.SetDlgItemText(KeyboardId::kCodeField, number);
        TickModifiers(code, modifiers);
        add(code);
        if (subset != 0)
            add(NothingChosen(modifiers));
    }
}

// The mouse's texts: every set of buttons alone, with each movement and with the wheel either
// way, the count being the number the text holds.
void AddMouseTexts(std::vector<std::string> &texts, const std::string &number)
{
    const int buttons[] = {MouseId::kLeftButton, MouseId::kMiddleButton, MouseId::kRightButton};
    for (int subset = 0; subset < 8; ++subset) {
        CControlState base;
        for (int bit = 0; bit < 3; ++bit)
            base.CheckDlgButton(buttons[bit], (subset >> bit) & 1);
        std::vector<CControlState> states(1, base);
        ClickMouseRadio(states.back(), MouseId::kWheelNone);
        for (const MouseMove &move : kMouseMoves) {
            states.push_back(base);
            ClickMouseRadio(states.back(), move.button);
            states.back().SetDlgItemText(move.countField, number);
        }
        for (int turn = 0; turn < 2; ++turn) {
            states.push_back(base);
            ClickMouseRadio(states.back(), MouseId::kMoveNone);
            states.back().SetCurSel(MouseId::kWheelDirection, turn);
            states.back().SetDlgItemText(MouseId::kWheelCount, number);
        }
        for (const CControlState &state : states) {
            std::uint8_t value1 = 0;
            std::uint8_t value2 = 0;
            std::optional<UserText> refusal;
            if (std::string text = GetMouseAssignment(state, value1, value2, refusal); !refusal && !text.empty())
                texts.push_back(std::move(text));
        }
    }
}

void AddGamePadTexts(std::vector<std::string> &texts)
{
    for (const int choice : kGamePadChoices) {
        CControlState state;
        ClickGamePadChoice(state, choice);
        std::uint8_t value1 = 0;
        std::uint8_t value2 = 0;
        if (std::string text = GetGamePadAssignment(state, value1, value2); !text.empty())
            texts.push_back(std::move(text));
    }
}

// The edits (insert, delete, replace, swap two neighbours) that turn one text into the other,
// ignoring case; no library at hand does this for a few hundred short texts.
std::size_t EditDistance(std::string_view a, std::string_view b)
{
    const auto same = [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    };
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i)
        d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j)
        d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t replace = d[i - 1][j - 1] + (same(a[i - 1], b[j - 1]) ? 0 : 1);
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, replace});
            if (i > 1 && j > 1 && same(a[i - 1], b[j - 2]) && same(a[i - 2], b[j - 1]))
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[a.size()][b.size()];
}

// What of a typed text is compared: without the blanks around it and a trailing comment.
std::string_view ComparedPart(std::string_view text)
{
    text = text.substr(0, text.find(" #"));
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
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

std::vector<std::string> ClosestKeyTexts(std::string_view text, std::optional<PageKind> page)
{
    const std::string_view typed = ComparedPart(text);
    const std::optional<CountPlace> count = LastNumber(typed);
    const std::string number = count ? std::string(typed.substr(count->begin, count->end - count->begin)) : "1";
    std::vector<std::string> texts;
    if (!page || *page == PageKind::GamePad)
        AddGamePadTexts(texts);
    if (!page || *page == PageKind::Mouse)
        AddMouseTexts(texts, number);
    if (!page || *page == PageKind::Keyboard)
        AddKeyboardTexts(texts, number);
    // Close: at most half of the shorter text edited (one edit always counts as close).
    std::vector<std::pair<std::size_t, std::string>> close;
    for (std::string &candidate : texts) {
        const std::size_t reach = std::max<std::size_t>(1, std::min(typed.size(), candidate.size()) / 2);
        // The lengths alone put a long line out of reach, before any cost grows with its length.
        const std::size_t longer = std::max(typed.size(), candidate.size());
        if (longer - std::min(typed.size(), candidate.size()) > reach)
            continue;
        if (const std::size_t distance = EditDistance(typed, candidate); distance <= reach)
            close.emplace_back(distance, std::move(candidate));
    }
    std::stable_sort(close.begin(), close.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    std::vector<std::string> closest;
    for (auto &[distance, candidate] : close) {
        if (distance > close.front().first || closest.size() == 3)
            break;
        if (std::find(closest.begin(), closest.end(), candidate) == closest.end())
            closest.push_back(std::move(candidate));
    }
    return closest;
}
