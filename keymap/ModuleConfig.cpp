#include "keymap/ModuleConfig.h"

#include "keymap/AssignmentText.h"
#include "keymap/ControlState.h"
#include "keymap/KeyLineSyntax.h"
#include "keymap/KeyMapWriter.h"
#include "pages/GamePadAssignment.h"
#include "pages/KeyCodes.h"
#include "pages/MouseAssignment.h"
#include "pages/MouseIds.h"
#include "records/FactoryConfig.h"

#include <span>

namespace {
std::string Modifiers(std::uint8_t flags)
{
    std::string names;
    for (const KeyEntry &modifier : kModifierKeys) {
        if (flags & modifier.code)
            names += names.empty() ? std::string(modifier.token) : JoinedForm(modifier.token);
    }
    return names;
}

std::string WithModifiers(const std::string &modifiers, std::string_view token)
{
    return modifiers.empty() ? std::string(token) : modifiers + JoinedForm(token);
}

// The texts the keyboard page may have logged for these bytes: a media key, a key, a character
// or a typed code, each with the modifiers the flags name.
std::vector<std::string> KeyboardTexts(std::uint8_t flags, std::uint8_t code)
{
    std::vector<std::string> texts;
    const std::string modifiers = Modifiers(flags);
    for (const KeyEntry &media : kMediaKeys)
        texts.emplace_back(media.token);
    const auto addKeys = [&](std::span<const KeyEntry> keys) {
        for (const KeyEntry &key : keys) {
            if (key.code == code)
                texts.push_back(WithModifiers(modifiers, key.token));
        }
    };
    addKeys(kSpecialKeys);
    addKeys(kFunctionKeys);
    for (char ch = ' '; ch <= '~'; ++ch)
        texts.push_back(std::string(1, ch) + (modifiers.empty() ? "" : JoinedForm(modifiers)));
    texts.push_back(modifiers);
    texts.push_back(WithModifiers(modifiers, std::string(kHidOpen) + std::to_string(code) + std::string(kHidClose)));
    return texts;
}

// The mouse page's texts for these bytes: its buttons alone, with a movement, or with the wheel.
std::vector<std::string> MouseTexts(std::uint8_t value1, std::uint8_t value2)
{
    using namespace MouseId;
    CControlState buttons;
    buttons.CheckDlgButton(kLeftButton, value1 & 0x01);
    buttons.CheckDlgButton(kRightButton, value1 & 0x02);
    buttons.CheckDlgButton(kMiddleButton, value1 & 0x04);
    std::vector<CControlState> states;
    states.push_back(buttons);
    ClickMouseRadio(states.back(), kWheelNone);
    for (const MouseMove &move : kMouseMoves) {
        states.push_back(buttons);
        ChooseMoveByCountField(states.back(), move);
        states.back().SetDlgItemText(move.countField, std::to_string(value2));
    }
    for (int turn = 0; turn < 2; ++turn) {
        states.push_back(buttons);
        ClickMouseRadio(states.back(), kMoveNone);
        states.back().SetCurSel(kWheelDirection, turn);
        states.back().SetDlgItemText(kWheelCount, std::to_string(static_cast<std::int8_t>(value2)));
    }
    std::vector<std::string> texts;
    for (const CControlState &state : states) {
        std::uint8_t v1 = 0;
        std::uint8_t v2 = 0;
        std::optional<UserText> refusal;
        const std::string text = GetMouseAssignment(state, v1, v2, refusal);
        if (!refusal && v1 == value1 && v2 == value2)
            texts.push_back(text);
    }
    return texts;
}

std::vector<std::string> GamePadTexts()
{
    std::vector<std::string> texts;
    for (const int choice : kGamePadChoices) {
        CControlState state;
        ClickGamePadChoice(state, choice);
        std::uint8_t v1 = 0;
        std::uint8_t v2 = 0;
        texts.push_back(GetGamePadAssignment(state, v1, v2));
    }
    return texts;
}

bool ReadsBackTo(int keyIndex, const KeyRecord &record, const std::string &text, PageKind page)
{
    const auto assignment = ParseAssignmentText(text, page);
    return assignment && MakeKeyRecord(keyIndex, assignment->kind, assignment->value1, assignment->value2) == record;
}

// A key's side of a difference: its line without the key's name.
std::string EntryText(const KeyMapEntry &entry)
{
    const std::string rest = FormatKeyLine(entry).substr(KeyName(entry.keyIndex).size());
    return rest.starts_with(" = ") ? rest.substr(3) : rest.substr(1);
}
} // namespace

KeyMapEntry EntryOfRecord(int keyIndex, const KeyRecord &record)
{
    const unsigned kind = record[0] >> 6;
    std::vector<std::string> texts;
    if ((record[0] & 0x3F) == (keyIndex & 0x3F)) {
        if (kind == static_cast<unsigned>(PageKind::Keyboard))
            texts = KeyboardTexts(record[1], record[2]);
        else if (kind == static_cast<unsigned>(PageKind::Mouse))
            texts = MouseTexts(record[1], record[2]);
        else if (kind == static_cast<unsigned>(PageKind::GamePad))
            texts = GamePadTexts();
    }
    for (const std::string &text : texts) {
        if (ReadsBackTo(keyIndex, record, text, static_cast<PageKind>(kind)))
            return {keyIndex, record, text};
    }
    return {keyIndex, record, {}};
}

KeyMap KeyMapOfModule(const ModuleSnapshot &snapshot)
{
    KeyMap map;
    for (int key = 0; key < snapshot.ReadableKeys(); ++key)
        map.keys.push_back(EntryOfRecord(key, snapshot.keys[static_cast<std::size_t>(key)]));
    for (const Parameter parameter : kParameters) {
        const int held = ParameterValue(snapshot.parameters, parameter);
        if (ItemOf(parameter).Holds(held))
            SetMapValue(map, parameter, held);
    }
    return map;
}

VerifyReport CompareWithModule(const KeyMap &expected, const ModuleSnapshot &module)
{
    VerifyReport report;
    for (const KeyMapEntry &entry : expected.keys) {
        if (entry.keyIndex >= module.ReadableKeys()) {
            report.unreadableKeys.push_back(entry.keyIndex);
            continue;
        }
        ++report.comparedKeys;
        const KeyRecord &held = module.keys[static_cast<std::size_t>(entry.keyIndex)];
        if (held != entry.record)
            report.differences.push_back({KeyName(entry.keyIndex), EntryText(entry),
                                          EntryText(EntryOfRecord(entry.keyIndex, held))});
    }
    for (const Parameter parameter : kParameters) {
        const std::optional<int> value = MapValue(expected, parameter);
        const int held = ParameterValue(module.parameters, parameter);
        if (value && *value != held)
            report.differences.push_back({std::string(ItemOf(parameter).name), ParameterText(parameter, *value),
                                          ParameterText(parameter, held)});
    }
    return report;
}

std::vector<ConfigDifference> FactoryResetDifferences(int number, const ModuleSnapshot &after)
{
    const ModuleDifference difference = CompareFactoryReset(number, after);
    const ModuleParameters written = FactoryParameters(FactoryConfigOf(number));
    std::vector<ConfigDifference> differences;
    for (const Parameter parameter : difference.parameters)
        differences.push_back({std::string(ItemOf(parameter).name),
                               ParameterText(parameter, ParameterValue(written, parameter)),
                               ParameterText(parameter, ParameterValue(after.parameters, parameter))});
    for (const int key : difference.keys) {
        const WrittenRecord record = FactoryRecord(FactoryConfigOf(number), key);
        std::string bytes = "(" + std::string(kRaw);
        for (int byte = 0; byte < 3; ++byte)
            bytes += byte < record.count ? " " + HexByte(record.bytes[static_cast<std::size_t>(byte)]) : " ??";
        const KeyRecord &held = after.keys[static_cast<std::size_t>(key)];
        differences.push_back({KeyName(key), bytes + ") =", EntryText(EntryOfRecord(key, held))});
    }
    return differences;
}
