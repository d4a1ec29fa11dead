#include "pages/KeyboardAssignment.h"

#include "pages/KeyboardIds.h"
#include "support/MapDlgControls.h"
#include "support/RecordingSink.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace {
using namespace KeyboardId;

// The page's controls: the checked radios and ticked boxes, and the two fields.
struct Page {
    std::vector<int> checked;
    std::string charText;
    std::string codeText;

    Page With(std::vector<int> more) const
    {
        Page page = *this;
        page.checked.insert(page.checked.end(), more.begin(), more.end());
        return page;
    }
};

struct Assignment {
    std::uint8_t flags;
    std::uint8_t code;
    std::string description;
    std::string refusal{}; // the page's reason, composed; empty when it takes the entry

    bool operator==(const Assignment &) const = default;
};

void PrintTo(const Assignment &a, std::ostream *out)
{
    *out << std::hex << "{0x" << int(a.flags) << ", 0x" << int(a.code) << ", \"" << a.description << "\""
         << (a.refusal.empty() ? "}" : ", refused: " + a.refusal + "}");
}

Assignment Assign(const Page &page)
{
    CMapDlgControls controls;
    for (int id : page.checked)
        controls.CheckDlgButton(id, true);
    controls.SetDlgItemText(kCharField, page.charText);
    controls.SetDlgItemText(kCodeField, page.codeText);
    Assignment result{0, 0, {}};
    std::optional<UserText> refusal;
    result.description = Keyboard::GetKeyAssignment(controls, result.flags, result.code, refusal);
    if (refusal)
        result.refusal = ComposeText(*refusal);
    return result;
}

// The states the page's own reactions leave behind.
Page KeyChosen(int key)
{
    const int special = key >= kSpecialFirst && key <= kSpecialLast ? key : kSpecialNone;
    const int function = key >= kFnFirst && key <= kFnLast ? key : kFnNone;
    const int media = key >= kMediaFirst && key <= kMediaLast ? key : kMediaNone;
    return Page{{special, function, media, kCharNone, kCodeNone}, "", ""};
}

Page CharFieldTaken(std::string text)
{
    return Page{{kSpecialNone, kFnNone, kMediaNone, kCodeNone}, std::move(text), ""};
}

Page CodeFieldTaken(std::string text)
{
    return Page{{kSpecialNone, kFnNone, kMediaNone, kCharNone}, "", std::move(text)};
}

const Page kNoneChosen{{kSpecialNone, kFnNone, kMediaNone, kCharNone, kCodeNone}, "", ""};

struct AssignCase {
    const char *name;
    Page page;
    Assignment expected;
};

class AssignmentCases : public testing::TestWithParam<AssignCase> {};

TEST_P(AssignmentCases, GiveBytesAndDescription)
{
    EXPECT_EQ(Assign(GetParam().page), GetParam().expected);
}

Page BothFields(std::vector<int> checked)
{
    return Page{std::move(checked), "x", "4"};
}

INSTANTIATE_TEST_SUITE_P(
    Examples, AssignmentCases,
    testing::Values(
        AssignCase{"LowerCase", CharFieldTaken("a"), {0x40, 0x04, "a"}},
        AssignCase{"UpperCaseWithCtrl", CharFieldTaken("A").With({kCtrl}), {0x51, 0x04, "A+CTRL"}},
        AssignCase{"ShiftedCharacter", CharFieldTaken("!"), {0x42, 0x1E, "!"}},
        AssignCase{"ShiftedCharacterKeepsCtrl", CharFieldTaken(":").With({kCtrl}), {0x43, 0x33, ":+CTRL"}},
        AssignCase{"CodeWithAlt", CodeFieldTaken("41").With({kAlt}), {0x04, 0x29, "ALT+HID(41)"}},
        AssignCase{"DeleteWithCtrlAlt", KeyChosen(1025).With({kAlt, kCtrl}), {0x05, 0x4C, "CTRL+ALT+DEL"}},
        AssignCase{"VolumeUp", KeyChosen(1057), {0x20, 0x01, "VOL_UP"}},
        AssignCase{"FastForward", KeyChosen(1062), {0x20, 0x40, "Fast Forward"}},
        AssignCase{"FreshPage", Page{}, {0x20, 0x00, ""}},
        AssignCase{"FreshPageModifierClearsMediaFlag", Page{{kCtrl}, "", ""}, {0x01, 0x00, "CTRL"}},
        AssignCase{"ModifiersOnly", kNoneChosen.With({kWin, kCtrl, kAlt}), {0x0D, 0x00, "CTRL+ALT+WIN"}},
        AssignCase{"NothingChosen", kNoneChosen, {0x00, 0x00, ""}},
        AssignCase{"CharacterWinsWhenBothFieldsInUse", BothFields(kNoneChosen.checked), {0x40, 0x1B, "x"}},
        AssignCase{"CharacterIgnoredAfterPressOnCodeField", BothFields(CodeFieldTaken("").checked),
                   {0x00, 0x04, "HID(4)"}},
        AssignCase{"CodeIgnoredAfterPressOnCharacterField", BothFields(CharFieldTaken("").checked),
                   {0x40, 0x1B, "x"}},
        AssignCase{"NeitherFieldInUse", BothFields({kSpecialNone, kFnNone, kMediaNone}), {0x00, 0x00, ""}},
        AssignCase{"FieldsIgnoredWhileAKeyIsChosen", BothFields(KeyChosen(1024).checked), {0x00, 0x29, "ESC"}},
        AssignCase{"OnlyFirstByteCounts", CharFieldTaken("ab").With({kCtrl}), {0x41, 0x04, "ab+CTRL"}},
        AssignCase{"ModifiersInFixedOrder", CharFieldTaken("a").With({kShift, kCtrl}), {0x43, 0x04, "a+CTRL+SHIFT"}},
        AssignCase{"UpperCaseWithWin", CharFieldTaken("Q").With({kWin}), {0x58, 0x14, "Q+WIN"}},
        AssignCase{"SpaceCharacter", CharFieldTaken(" "), {0x40, 0x2C, " "}},
        AssignCase{"ControlCharacter", CharFieldTaken("\t"), {0x40, 0x00, "\t"}},
        AssignCase{"OnlyTheFirstCharacterMustBeAscii", CharFieldTaken("aé").With({kCtrl}), {0x41, 0x04, "aé+CTRL"}},
        AssignCase{"CodeBeyondAByte", CodeFieldTaken("300"), {0x00, 0x2C, "HID(300)"}},
        AssignCase{"NegativeCode", CodeFieldTaken("-1"), {0x00, 0xFF, "HID(-1)"}},
        AssignCase{"CodeWithCtrl", CodeFieldTaken("4").With({kCtrl}), {0x01, 0x04, "CTRL+HID(4)"}},
        AssignCase{"CodeDescribedAsTyped", CodeFieldTaken(" 41abc").With({kShift, kAlt}),
                   {0x06, 0x29, "ALT+SHIFT+HID( 41abc)"}},
        AssignCase{"CodeNeverHexadecimal", CodeFieldTaken("0x29"), {0x00, 0x00, "HID(0x29)"}},
        AssignCase{"SpaceKey", KeyChosen(1036), {0x00, 0x2C, "NULL"}},
        AssignCase{"SpaceKeyWithShift", KeyChosen(1036).With({kShift}), {0x02, 0x2C, "SHIFT+NULL"}},
        AssignCase{"ShiftTab", KeyChosen(1032).With({kShift}), {0x02, 0x2B, "SHIFT+TAB"}},
        // A media key ignores the modifiers: only the media flag marks its code byte as media bits.
        AssignCase{"MediaKeyIgnoresModifiers", KeyChosen(1061).With({kCtrl, kShift}), {0x20, 0x20, "PP"}},
        // Two keys checked at once: the first in the page's order wins, "无" radios not looked at.
        AssignCase{"SpaceBeforeDown", kNoneChosen.With({1038, 1036}), {0x00, 0x2C, "NULL"}},
        AssignCase{"LeftBeforeInsert", kNoneChosen.With({1027, 1039}), {0x00, 0x50, "LEFT"}},
        AssignCase{"SpecialBeforeFunction", kNoneChosen.With({1042, 1040}), {0x00, 0x4F, "RIGHT"}},
        AssignCase{"FunctionBeforeMedia", kNoneChosen.With({1055, 1053}), {0x00, 0x45, "F12"}}),
    [](const testing::TestParamInfo<AssignCase> &info) { return std::string(info.param.name); });

struct Key {
    int id;
    std::uint8_t code;
    const char *token;
};

// Every special and function key with its usage and name.
const Key kUsageKeys[] = {
    {1023, 0x28, "ENTER"}, {1024, 0x29, "ESC"},   {1025, 0x4C, "DEL"},    {1026, 0x2A, "BACK"},
    {1027, 0x49, "INSERT"}, {1028, 0x4A, "HOME"}, {1029, 0x4D, "END"},    {1030, 0x46, "PRTSC"},
    {1031, 0x66, "POWER"}, {1032, 0x2B, "TAB"},   {1033, 0x39, "CAP"},    {1034, 0x4B, "PGUP"},
    {1035, 0x4E, "PGDN"},  {1036, 0x2C, "NULL"},  {1037, 0x52, "UP"},     {1038, 0x51, "DOWN"},
    {1039, 0x50, "LEFT"},  {1040, 0x4F, "RIGHT"}, {1042, 0x3A, "F1"},     {1043, 0x3B, "F2"},
    {1044, 0x3C, "F3"},    {1045, 0x3D, "F4"},    {1046, 0x3E, "F5"},     {1047, 0x3F, "F6"},
    {1048, 0x40, "F7"},    {1049, 0x41, "F8"},    {1050, 0x42, "F9"},     {1051, 0x43, "F10"},
    {1052, 0x44, "F11"},   {1053, 0x45, "F12"},
};

const Key kMedia[] = {
    {1055, 0x10, "MUTE"}, {1056, 0x80, "STOP"}, {1057, 0x01, "VOL_UP"}, {1058, 0x02, "VOL_DOWN"},
    {1059, 0x08, "PREV"}, {1060, 0x04, "NEXT"}, {1061, 0x20, "PP"},     {1062, 0x40, "Fast Forward"},
};

struct Modifiers {
    std::vector<int> boxes;
    std::uint8_t flags;
    std::string prefix;
};

const Modifiers kModifierSets[] = {
    {{}, 0x00, ""},
    {{kShift, kCtrl}, 0x03, "CTRL+SHIFT+"},
    {{kWin, kShift, kAlt, kCtrl}, 0x0F, "CTRL+ALT+SHIFT+WIN+"},
};

TEST(KeyboardAssignment, EveryUsageKeyWithAndWithoutModifiers)
{
    for (const Key &key : kUsageKeys) {
        for (const Modifiers &modifiers : kModifierSets) {
            SCOPED_TRACE(std::string(key.token) + " with " + std::to_string(modifiers.boxes.size()) + " modifiers");
            EXPECT_EQ(Assign(KeyChosen(key.id).With(modifiers.boxes)),
                      (Assignment{modifiers.flags, key.code, modifiers.prefix + key.token}));
        }
    }
}

TEST(KeyboardAssignment, EveryMediaKeyAloneWhateverTheModifiers)
{
    for (const Key &key : kMedia) {
        for (const Modifiers &modifiers : kModifierSets) {
            SCOPED_TRACE(std::string(key.token) + " with " + std::to_string(modifiers.boxes.size()) + " modifiers");
            EXPECT_EQ(Assign(KeyChosen(key.id).With(modifiers.boxes)), (Assignment{0x20, key.code, key.token}));
        }
    }
}
// A character outside ASCII has no key of its own: its code-page byte would send an unrelated key
// (0xC3 F2, 0xD1 Insert, 0xC9 F9) or a lone flag, or nothing. It is refused and named instead.
TEST(KeyboardAssignment, CharactersOutsideAsciiAreRefused)
{
    const std::pair<std::string, std::string> cases[] = {
        {"é", "é"}, {"ñ", "ñ"}, {"я", "я"}, {"É", "É"}, {"Ñ", "Ñ"}, {"€", "€"}, {"°", "°"}, {"中文", "中"}, {"😀a", "😀"},
    };
    for (const auto &[text, first] : cases) {
        SCOPED_TRACE(text);
        CRecordingSink sink;
        EXPECT_EQ(Assign(CharFieldTaken(text).With({kCtrl})),
                  (Assignment{0x00, 0x00, "", "“" + first + "”不是英文键盘上的字符，键值未写入！"}));
        EXPECT_TRUE(sink.messages.empty()); // the window shows it
    }
}
} // namespace
