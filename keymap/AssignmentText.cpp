#include "keymap/AssignmentText.h"

#include "keymap/ControlState.h"
#include "pages/GamePadAssignment.h"
#include "pages/GamePadIds.h"
#include "pages/KeyCodes.h"
#include "pages/KeyboardAssignment.h"
#include "pages/MouseAssignment.h"
#include "pages/MouseIds.h"

#include <algorithm>
#include <array>
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

// The keyboard's named texts: each key and each modifier set alone or in front of it, and the
// media keys; with a number, instead, a typed code holding it under each modifier set.
void AddKeyboardTexts(std::vector<std::string> &texts, const std::string *number)
{
    const auto add = [&](const CControlState &state) {
        if (std::string text = RunKeyboardText(state); !text.empty())
            texts.push_back(std::move(text));
    };
    if (!number) {
        for (const KeyEntry &media : kMediaKeys) {
            CControlState state;
            Keyboard::ClickRadio(state, media.id);
            add(state);
        }
    }
    for (unsigned subset = 0; subset < (1u << kModifierKeys.size()); ++subset) {
        std::vector<int> modifiers;
        for (std::size_t bit = 0; bit < kModifierKeys.size(); ++bit) {
            if (subset & (1u << bit))
                modifiers.push_back(kModifierKeys[bit].id);
        }
        if (number) {
            CControlState code;
            Keyboard::TakeField(code, KeyboardId::kCodeField);
            code.SetDlgItemText(KeyboardId::kCodeField, *number);
            TickModifiers(code, modifiers);
            add(code);
            continue;
        }
        for (const auto keys : {std::span<const KeyEntry>(kSpecialKeys), std::span<const KeyEntry>(kFunctionKeys)}) {
            for (const KeyEntry &key : keys) {
                CControlState state;
                Keyboard::ClickRadio(state, key.id);
                TickModifiers(state, modifiers);
                add(state);
            }
        }
        if (subset != 0)
            add(NothingChosen(modifiers));
    }
}

// The mouse's texts: every set of buttons alone; with a number, instead, each set with each
// movement and with the wheel either way, counting that number.
void AddMouseTexts(std::vector<std::string> &texts, const std::string *number)
{
    const int buttons[] = {MouseId::kLeftButton, MouseId::kMiddleButton, MouseId::kRightButton};
    for (int subset = 0; subset < 8; ++subset) {
        CControlState base;
        for (int bit = 0; bit < 3; ++bit)
            base.CheckDlgButton(buttons[bit], (subset >> bit) & 1);
        std::vector<CControlState> states;
        if (!number) {
            states.push_back(base);
            ClickMouseRadio(states.back(), MouseId::kWheelNone);
        } else {
            for (const MouseMove &move : kMouseMoves) {
                states.push_back(base);
                ClickMouseRadio(states.back(), move.button);
                states.back().SetDlgItemText(move.countField, *number);
            }
            for (int turn = 0; turn < 2; ++turn) {
                states.push_back(base);
                ClickMouseRadio(states.back(), MouseId::kMoveNone);
                states.back().SetCurSel(MouseId::kWheelDirection, turn);
                states.back().SetDlgItemText(MouseId::kWheelCount, *number);
            }
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
// ignoring case, or reach + 1 once every way needs more than reach; no library at hand does this
// for a few hundred short texts.
std::size_t EditDistance(std::string_view a, std::string_view b, std::size_t reach)
{
    const auto same = [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    };
    // Three rows of the table, in one block: two back (for a swap), one back, this one.
    std::vector<std::size_t> rows(3 * (b.size() + 1));
    std::size_t *before = rows.data();
    std::size_t *previous = before + b.size() + 1;
    std::size_t *row = previous + b.size() + 1;
    for (std::size_t j = 0; j <= b.size(); ++j)
        previous[j] = j;
    std::size_t previousBest = 0;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        row[0] = i;
        std::size_t best = row[0];
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t replace = previous[j - 1] + (same(a[i - 1], b[j - 1]) ? 0 : 1);
            row[j] = std::min(std::min(previous[j], row[j - 1]) + 1, replace);
            if (i > 1 && j > 1 && same(a[i - 1], b[j - 2]) && same(a[i - 2], b[j - 1]))
                row[j] = std::min(row[j], before[j - 2] + 1);
            best = std::min(best, row[j]);
        }
        // A row only grows downwards, but a swap looks two rows back: stop when both are past reach.
        if (best > reach && previousBest > reach)
            return reach + 1;
        previousBest = best;
        std::swap(before, previous);
        std::swap(previous, row);
    }
    return previous[b.size()];
}

// How often each character occurs in a text, case ignored and folded into 64 kinds. The
// characters one text holds beyond the other's never exceed their edit distance, and are counted
// in a fraction of its time: most candidates are ruled out by them alone.
using CharacterCounts = std::array<int, 64>;

CharacterCounts CountCharacters(std::string_view text)
{
    CharacterCounts counts{};
    for (const char c : text)
        ++counts[static_cast<std::size_t>(std::toupper(static_cast<unsigned char>(c))) % counts.size()];
    return counts;
}

std::size_t CountDistance(const CharacterCounts &a, const CharacterCounts &b)
{
    std::size_t onlyA = 0;
    std::size_t onlyB = 0;
    for (std::size_t kind = 0; kind < a.size(); ++kind) {
        onlyA += static_cast<std::size_t>(std::max(0, a[kind] - b[kind]));
        onlyB += static_cast<std::size_t>(std::max(0, b[kind] - a[kind]));
    }
    return std::max(onlyA, onlyB);
}

struct Candidate {
    std::string text;
    CharacterCounts counts;
};

void AddCandidates(std::vector<Candidate> &candidates, std::vector<std::string> texts)
{
    for (std::string &text : texts) {
        const CharacterCounts counts = CountCharacters(text);
        candidates.push_back({std::move(text), counts});
    }
}

// The named texts of one page that the typed text's number does not change, and those holding
// the number 1, which a text without a number is compared with: thousands of page runs, made once.
const std::vector<Candidate> &PlainCandidates(PageKind page)
{
    static const std::array<std::vector<Candidate>, 3> candidates = [] {
        const std::string one = "1";
        std::array<std::vector<std::string>, 3> texts;
        for (const std::string *number : {static_cast<const std::string *>(nullptr), &one}) {
            AddKeyboardTexts(texts[static_cast<std::size_t>(PageKind::Keyboard)], number);
            AddMouseTexts(texts[static_cast<std::size_t>(PageKind::Mouse)], number);
        }
        AddGamePadTexts(texts[static_cast<std::size_t>(PageKind::GamePad)]);
        std::array<std::vector<Candidate>, 3> made;
        for (std::size_t kind = 0; kind < made.size(); ++kind)
            AddCandidates(made[kind], std::move(texts[kind]));
        return made;
    }();
    return candidates[static_cast<std::size_t>(page)];
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
    // Read without a page, a keyboard text comes from the keyboard's own reading, state and all.
    const Reading reading = AnyPageText(text);
    const auto &assignment = reading.assignment;
    return assignment && assignment->kind == PageKind::Keyboard && (assignment->value1 & KeyFlag::kCustomChar) &&
           reading.state.GetDlgItemText(KeyboardId::kCharField).size() > 1;
}

std::vector<std::string> ClosestKeyTexts(std::string_view text, std::optional<PageKind> page)
{
    const std::string_view typed = ComparedPart(text);
    const std::optional<CountPlace> count = LastNumber(typed);
    const std::string number = count ? std::string(typed.substr(count->begin, count->end - count->begin)) : "1";
    // Close: at most half of the shorter text edited (one edit always counts as close).
    const CharacterCounts typedCounts = CountCharacters(typed);
    std::vector<std::pair<std::size_t, std::string>> close;
    const auto compare = [&](const Candidate &candidate) {
        const std::size_t shorter = std::min(typed.size(), candidate.text.size());
        const std::size_t reach = std::max<std::size_t>(1, shorter / 2);
        // The lengths alone put a long line out of reach, before any cost grows with its length.
        if (std::max(typed.size(), candidate.text.size()) - shorter > reach ||
            CountDistance(typedCounts, candidate.counts) > reach)
            return;
        if (const std::size_t distance = EditDistance(typed, candidate.text, reach); distance <= reach)
            close.emplace_back(distance, candidate.text);
    };
    for (const PageKind kind : {PageKind::GamePad, PageKind::Mouse, PageKind::Keyboard}) {
        if (page && *page != kind)
            continue;
        std::for_each(PlainCandidates(kind).begin(), PlainCandidates(kind).end(), compare);
        std::vector<std::string> numbered;
        if (kind == PageKind::Mouse && number != "1")
            AddMouseTexts(numbered, &number);
        if (kind == PageKind::Keyboard && number != "1")
            AddKeyboardTexts(numbered, &number);
        std::vector<Candidate> candidates;
        AddCandidates(candidates, std::move(numbered));
        std::for_each(candidates.begin(), candidates.end(), compare);
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
