#include "keymap/AssignmentText.h"
#include "keymap/ControlState.h"
#include "keymap/KeyMap.h"
#include "keymap/KeyMapReader.h"
#include "keymap/KeyMapWriter.h"
#include "keymap/KeyTable.h"
#include "pages/GamePadAssignment.h"
#include "pages/KeyCodes.h"
#include "pages/KeyboardAssignment.h"
#include "pages/MouseAssignment.h"
#include "pages/MouseIds.h"
#include "support/MapDlgControls.h"
#include "support/RecordingSink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <set>
#include <tuple>

namespace {
using namespace KeyboardId;

// One reachable state of a page and what the page's own logic makes of it.
struct PageResult {
    PageAssignment assignment;
    std::string text;
};

// What the user does on an untouched page, through the page's own reactions.
using Actions = std::function<void(CMapDlgControls &)>;
using Reader = std::function<std::string(CMapDlgControls &, std::uint8_t &, std::uint8_t &, std::optional<UserText> &)>;

// Each sequence of actions with every subset of boxes ticked, read by the page's logic; what it
// refuses is left out.
void AddStates(std::vector<PageResult> &results, PageKind kind, const std::vector<Actions> &actions,
               const std::vector<int> &boxes, const Reader &read)
{
    for (const Actions &act : actions) {
        for (int subset = 0; subset < (1 << boxes.size()); ++subset) {
            CMapDlgControls controls;
            act(controls);
            for (std::size_t bit = 0; bit < boxes.size(); ++bit)
                controls.CheckDlgButton(boxes[bit], (subset >> bit) & 1);
            std::uint8_t value1 = 0, value2 = 0;
            std::optional<UserText> refusal;
            const std::string text = read(controls, value1, value2, refusal);
            if (!refusal)
                results.push_back({{kind, value1, value2}, text});
        }
    }
}

Actions TypeInField(int field, const std::string &text)
{
    return [field, text](CMapDlgControls &c) {
        c.SetDlgItemText(kCharField, "q"); // typed earlier; the other field leaves it alone
        Keyboard::TakeField(c, field);
        c.SetDlgItemText(field, text);
    };
}

std::vector<int> ModifierBoxes()
{
    std::vector<int> boxes;
    for (const KeyEntry &modifier : kModifierKeys)
        boxes.push_back(modifier.id);
    return boxes;
}

// Counts around a page's limits, read from the page, and texts that are no plain number.
std::vector<std::string> CountSamples(const CountLimits &limits)
{
    std::vector<std::string> counts{"", "abc", " 12xyz", "3"};
    for (const std::int32_t count : {limits.min - 1, limits.min, limits.max, limits.max + 1})
        counts.push_back(std::to_string(count));
    return counts;
}

std::vector<PageResult> MouseStates()
{
    using namespace MouseId;
    std::vector<Actions> mouse = {
        [](CMapDlgControls &) {},                                      // untouched: the wheel counts as in use
        [](CMapDlgControls &c) { ClickMouseRadio(c, kWheelNone); }, // neither movement nor wheel
    };
    for (const MouseMove &move : kMouseMoves) {
        for (const std::string &count : CountSamples(kMoveCounts))
            mouse.push_back([&move, count](CMapDlgControls &c) {
                ChooseMoveByCountField(c, move);
                c.SetDlgItemText(move.countField, count);
            });
    }
    for (const int turn : {-1, 0, 1}) {
        for (const std::string &count : CountSamples(kWheelCounts))
            mouse.push_back([turn, count](CMapDlgControls &c) {
                ClickMouseRadio(c, kMoveNone);
                c.SetCurSel(kWheelDirection, turn);
                c.SetDlgItemText(kWheelCount, count);
            });
    }
    std::vector<PageResult> results;
    AddStates(results, PageKind::Mouse, mouse, {kLeftButton, kMiddleButton, kRightButton}, GetMouseAssignment);
    return results;
}

// Every state of the three pages that their controls and reactions can reach, on a sample of the
// texts a field may hold; the character field also holds every text the other states log.
std::vector<PageResult> ReachableStates()
{
    std::vector<PageResult> results = MouseStates();
    std::vector<Actions> pads{[](CMapDlgControls &) {}};
    for (const int id : kGamePadChoices)
        pads.push_back([id](CMapDlgControls &c) { ClickGamePadChoice(c, id); });
    AddStates(results, PageKind::GamePad, pads, {},
              [](CMapDlgControls &c, std::uint8_t &v1, std::uint8_t &v2, std::optional<UserText> &) {
                  return GetGamePadAssignment(c, v1, v2);
              });

    const Reader keyboard = [](CMapDlgControls &c, std::uint8_t &flags, std::uint8_t &code,
                               std::optional<UserText> &refusal) {
        return Keyboard::GetKeyAssignment(c, flags, code, refusal);
    };
    std::vector<Actions> keys{[](CMapDlgControls &) {}};
    for (int id = kSpecialNone; id <= kMediaLast; ++id)
        keys.push_back([id](CMapDlgControls &c) { Keyboard::ClickRadio(c, id); });
    // A key chosen, then the special "无" clicked: the character left in the field wins again.
    keys.push_back([](CMapDlgControls &c) {
        c.SetDlgItemText(kCharField, "q");
        Keyboard::ClickRadio(c, kSpecialFirst);
        Keyboard::ClickRadio(c, kSpecialNone);
    });
    for (char ch = ' '; ch <= '~'; ++ch)
        keys.push_back(TypeInField(kCharField, std::string(1, ch)));
    for (const std::string text : {"0", "4", "41", "-1", "255", "300", "abc", "4)"})
        keys.push_back(TypeInField(kCodeField, text));
    for (const std::string text : {"ab", "HID(", "1+2", "a+CTRL"})
        keys.push_back(TypeInField(kCharField, text));
    AddStates(results, PageKind::Keyboard, keys, ModifierBoxes(), keyboard);

    std::vector<Actions> spelled;
    std::set<std::string> texts;
    for (const PageResult &other : results) {
        if (other.text.size() > 1 && texts.insert(other.text).second)
            spelled.push_back(TypeInField(kCharField, other.text));
    }
    AddStates(results, PageKind::Keyboard, spelled, {kCtrl}, keyboard);
    return results;
}

// What a page's own logic makes of a state of its controls.
PageAssignment RunPage(PageKind kind, const CControlState &state)
{
    std::uint8_t value1 = 0, value2 = 0;
    std::optional<UserText> refusal;
    if (kind == PageKind::Keyboard)
        Keyboard::GetKeyAssignment(state, value1, value2, refusal);
    else if (kind == PageKind::Mouse)
        GetMouseAssignment(state, value1, value2, refusal);
    else
        GetGamePadAssignment(state, value1, value2);
    return {kind, value1, value2};
}

// The bytes each page state gives for a text, of all pages and of each.
using TextBytes = std::map<std::string, std::set<std::tuple<int, int, int>>>;
std::tuple<int, int, int> Bytes(const PageAssignment &a)
{
    return {static_cast<int>(a.kind), a.value1, a.value2};
}
} // namespace

TEST(KeyMapRoundTrip, EveryReachablePageStateIsSavedExactlyAndEveryTextReadsAsAStateThatLogsIt)
{
    CRecordingSink sink;
    const std::vector<PageResult> states = ReachableStates();
    ASSERT_GT(states.size(), 4000u);
    TextBytes anyPage;
    std::map<int, TextBytes> ofPage;
    for (const PageResult &state : states) {
        anyPage[state.text].insert(Bytes(state.assignment));
        ofPage[static_cast<int>(state.assignment.kind)][state.text].insert(Bytes(state.assignment));
    }
    KeyMap map;
    for (std::size_t i = 0; i < states.size(); ++i) {
        const PageResult &state = states[i];
        const PageAssignment &a = state.assignment;
        const int key = static_cast<int>(i % kMaxKeyCount);
        const KeyMapEntry entry{key, MakeKeyRecord(key, a.kind, a.value1, a.value2), state.text};
        const std::string line = FormatKeyLine(entry);
        const KeyMapResult read = ParseKeyMap(line, kMaxKeyCount);
        ASSERT_TRUE(read.map) << line;
        EXPECT_EQ(read.map->keys, std::vector<KeyMapEntry>{entry}) << line;
        // The key table's cell holds the same entry as the line.
        EXPECT_EQ(ReadKeyCell(key, KeyCellText(entry)).entry, entry) << "'" << KeyCellText(entry) << "'";
        // Read as some state that logs this very text: never as a text that page cannot log.
        const auto named = ParseAssignmentText(state.text, a.kind);
        ASSERT_TRUE(named) << "'" << state.text << "'";
        EXPECT_TRUE(ofPage[static_cast<int>(a.kind)][state.text].contains(Bytes(*named))) << "'" << state.text << "'";
        // The controls the key table sets on the page give the page's bytes again.
        const std::optional<CControlState> controls = PageStateOfText(state.text, a.kind);
        ASSERT_TRUE(controls) << "'" << state.text << "'";
        EXPECT_EQ(RunPage(a.kind, *controls), *named) << "'" << state.text << "'";
        if (!state.text.empty()) {
            const auto alone = ParseAssignmentText(state.text);
            ASSERT_TRUE(alone) << "'" << state.text << "'";
            EXPECT_TRUE(anyPage[state.text].contains(Bytes(*alone))) << "'" << state.text << "'";
        }
        SetKey(map, entry);
    }
    map.longPress = 1;
    map.debounce = 40;
    const std::string saved = FormatKeyMap(map);
    const KeyMapResult loaded = ParseKeyMap(saved, kMaxKeyCount);
    ASSERT_TRUE(loaded.map);
    EXPECT_EQ(*loaded.map, map);
    EXPECT_EQ(FormatKeyMap(*loaded.map), saved);
    EXPECT_TRUE(sink.messages.empty());
}

// Where several page states log one text, a line written by hand is read as the plain one.
TEST(KeyMapRoundTrip, ATextSeveralStatesLogIsReadAsThePlainOne)
{
    const std::pair<const char *, PageAssignment> cases[] = {
        {"ENTER", {PageKind::Keyboard, 0x00, 0x28}},        // the special key, not the field "ENTER"
        {"CTRL", {PageKind::Keyboard, 0x01, 0x00}},         // the modifier alone
        {"HID(4)", {PageKind::Keyboard, 0x00, 0x04}},       // the code field
        {"ab+CTRL", {PageKind::Keyboard, 0x41, 0x04}},      // the field "ab" with Ctrl
        {"GameKey1", {PageKind::GamePad, 0x01, 0x00}},
        {"MLKey", {PageKind::Mouse, 0x01, 0x00}},           // the wheel off
        {"Wheel BackWard = 3 ", {PageKind::Mouse, 0x60, 0x03}},
        {"Wheel BackWard = 3", {PageKind::Keyboard, 0x50, 0x1A}}, // only the field logs it without the blank
    };
    for (const auto &[text, expected] : cases)
        EXPECT_EQ(ParseAssignmentText(text), expected) << "'" << text << "'";
}

// A bad line is one error, shown by nobody: its number, its text quoted, and the page's own reason
// where a page refused the text.
TEST(KeyMapRoundTrip, ABadLineIsOneErrorThatNamesTheLineAndThePagesReason)
{
    CRecordingSink sink;
    struct Case {
        std::string file;
        std::vector<std::string> error; // line number, then the values of the message
    };
    const std::string flood(300, 'x');
    const Case cases[] = {
        {"# ok\nKEY-2 = MoveUp(128)Pixel\n", {"2", "KEY-2 = MoveUp(128)Pixel", "向上像素移动数值设置过大,设置值不应超过127"}},
        {"KEY-2 = MLKey+Wheel Forward = -129\n",
         {"1", "KEY-2 = MLKey+Wheel Forward = -129", "滚动刻度数值设置过小,设置值不应小于-128"}},
        {"KEY-2 (mouse) = Wheel Forward = 99999999999\n",
         {"1", "KEY-2 (mouse) = Wheel Forward = 99999999999", "滚动刻度数值设置过大,设置值不应超过127"}},
        {"KEY-1 = 键+CTRL\n", {"1", "KEY-1 = 键+CTRL", "“键”不是英文键盘上的字符，键值未写入！"}},
        // With its page named, a text that page does not log, a dropped blank included.
        {"KEY-1 (gamepad) = GameKey9\n",
         {"1", "KEY-1 (gamepad) = GameKey9", "gamepad 页面不记录这个键值。是不是 GameKey1 或 GameKey2 或 GameKey3？"}},
        {"KEY-1 (mouse) = Wheel BackWard = 3\n",
         {"1", "KEY-1 (mouse) = Wheel BackWard = 3", "mouse 页面不记录这个键值。是不是 Wheel BackWard = 3 ？"}},
        {"KEY-1 (mouse) = ab\n", {"1", "KEY-1 (mouse) = ab", "mouse 页面不记录这个键值。"}},
        {"KEY-1 = a\rb\n", {"1", "KEY-1 = a\\x0Db"}},
        {std::string("KEY-1 = a\0b\n", 12), {"1", "KEY-1 = a\\x00b"}},
        // Every line not understood says what it should be.
        {"KEY-1 (joystick) = \x1B[2J" + flood + "\n",
         {"1", "KEY-1 (joystick) = \\x1B[2J" + flood.substr(0, 174) + "…",
          "KEY-n (keyboard|mouse|gamepad) = …, KEY-n (raw b0 b1 b2) = …"}},
        {"KEY-1 (raw 41 41) = x\n", {"1", "KEY-1 (raw 41 41) = x", "KEY-n (raw b0 b1 b2) = …"}},
        {"KEY-1 ENTER\n", {"1", "KEY-1 ENTER", "KEY-n = …, KEY-n (keyboard|mouse|gamepad) = …, KEY-n (raw b0 b1 b2) = …"}},
        {"work-mode = 5\n", {"1", "work-mode = 5", "work-mode = 0..4"}},
        {"baud = x\n", {"1", "baud = x", "baud = 0..3"}},
        {"speed = 3\n",
         {"1", "speed = 3",
          "KEY-n = …, KEY-n (keyboard|mouse|gamepad) = …, KEY-n (raw b0 b1 b2) = …, long-press = yes|no, "
          "debounce = 10..255, work-mode = 0..4, baud = 0..3"}},
        {"KEY-1 = ENTER\nKEY-9 = ENTER\n", {"2", "KEY-9", "8"}},
        {"KEY-0 = ENTER\n", {"1", "KEY-0", "8"}},
        {"KEY-1 = ENTER\r\nKEY-1 = ESC\r\n", {"2", "KEY-1"}},
        {"KEY-1 =\n", {"1", "KEY-1"}},
        {"debounce = 9\n", {"1", "9"}},
        {"long-press = maybe\n", {"1", "long-press = maybe", "long-press = yes|no"}},
        {"\n# nothing\n", {}},
    };
    for (const Case &c : cases) {
        const KeyMapResult result = ParseKeyMap(c.file, 8);
        EXPECT_FALSE(result.map) << c.file;
        EXPECT_EQ(result.error.args, c.error) << c.file;
    }
    EXPECT_TRUE(sink.messages.empty());
}

// The command line's pairs are key lines, one each: a line break cannot start another line.
TEST(KeyMapRoundTrip, KeyArgumentsAreOneKeyLineEach)
{
    using Words = std::vector<std::string>;
    const std::string keyForms = "'KEY-n' '…', 'KEY-n (keyboard|mouse|gamepad)' '…', 'KEY-n (raw b0 b1 b2)' '…'";
    const std::pair<Words, std::vector<std::string>> refused[] = {
        {{"KEY-1", "ENTER\nKEY-2 = ESC"}, {"1", "KEY-1 = ENTER\\x0AKEY-2 = ESC"}},
        {{"KEY-1", "ENTER", "KEY-2\r", "ESC"}, {"2", "KEY-2\\x0D = ESC"}},
        {{"debounce", "30"}, {"1", "debounce = 30", keyForms}},
        {{"# KEY-1", "ENTER"}, {"1", "# KEY-1 = ENTER", keyForms}},
    };
    for (const auto &[words, error] : refused) {
        const KeyMapResult result = ParseKeyArguments(words, 8);
        EXPECT_FALSE(result.map) << words[1];
        EXPECT_EQ(result.error.args, error) << words[1];
    }
    const KeyMapResult two = ParseKeyArguments(Words{"KEY-2 (keyboard)", "ab+CTRL", "KEY-1 (mouse)", ""}, 8);
    ASSERT_TRUE(two.map);
    EXPECT_EQ(two.map->keys, (std::vector<KeyMapEntry>{{0, {0x40, 0x00, 0x00}, ""}, {1, {0x01, 0x41, 0x04}, "ab+CTRL"}}));
}

// A saved text ending in a blank names its page, so that an editor dropping the blank makes the line
// an error instead of another key.
TEST(KeyMapRoundTrip, ASavedTextEndingInABlankNamesItsPage)
{
    const KeyMapEntry wheel{0, {0x40, 0x60, 0x03}, "Wheel BackWard = 3 "};
    const std::string line = FormatKeyLine(wheel);
    EXPECT_EQ(line, "KEY-1 (mouse) = Wheel BackWard = 3 ");
    EXPECT_FALSE(ParseKeyMap(line.substr(0, line.size() - 1), 8).map);
}

TEST(KeyTableCells, ParameterCellsFollowTheReadersRanges)
{
    struct Case {
        MapParameter parameter;
        const char *cell;
        CellState state;
        const char *shown; // the cell as the table shows the value read
    };
    const Case cases[] = {
        {MapParameter::LongPress, "yes", CellState::Valid, "yes"}, {MapParameter::LongPress, "no", CellState::Valid, "no"},
        {MapParameter::LongPress, "是", CellState::Invalid, ""},   {MapParameter::LongPress, " ", CellState::Empty, ""},
        {MapParameter::Debounce, "10", CellState::Valid, "10"},    {MapParameter::Debounce, "255", CellState::Valid, "255"},
        {MapParameter::Debounce, "9", CellState::Invalid, ""},     {MapParameter::Debounce, "256", CellState::Invalid, ""},
        {MapParameter::Debounce, "4O", CellState::Invalid, ""},    {MapParameter::Debounce, "40\ndebounce = 50", CellState::Invalid, ""},
    };
    for (const Case &c : cases) {
        KeyMap map;
        EXPECT_EQ(ReadParameterCell(c.parameter, c.cell, map), c.state) << c.cell;
        EXPECT_EQ(ParameterCellText(map, c.parameter), c.shown) << c.cell;
    }
    // A key cell that would smuggle in a second line is refused, not read as two keys.
    EXPECT_EQ(ReadKeyCell(0, "DEL\nKEY-2 = ESC").state, CellState::Invalid);
    EXPECT_EQ(ReadKeyCell(0, "(").state, CellState::Invalid);
    EXPECT_EQ(ReadKeyCell(0, "(keyboard) = (").state, CellState::Valid);
}

// A state holds each control once, whatever order the pages' reactions set and clear it in: a
// button checked twice and cleared once is clear, a value set again replaces the first.
TEST(ControlState, EachControlIsHeldOnce)
{
    CControlState state;
    for (const int id : {7, 3, 7}) {
        state.CheckDlgButton(id, true);
        state.SetDlgItemText(id, "t" + std::to_string(id));
        state.SetCurSel(id, id);
    }
    state.CheckDlgButton(7, false);
    state.SetDlgItemText(3, "again");
    state.ResetContent(7);
    EXPECT_FALSE(state.IsDlgButtonChecked(7));
    EXPECT_TRUE(state.IsDlgButtonChecked(3));
    EXPECT_EQ(state.GetDlgItemText(3), "again");
    EXPECT_EQ(state.GetDlgItemText(9), "");
    EXPECT_EQ(state.GetCurSel(7), -1);
    EXPECT_EQ(state.GetCurSel(3), 3);
}

// A text of several characters that names no key is refused, never sent as its first character:
// the fix names the closest key texts and the explicit form for the characters themselves.
TEST(KeyMapFailClosed, ATextNamingNoKeyIsRefusedWithTheClosestKeyTexts)
{
    struct Case {
        const char *line;
        const char *didYouMean; // "" when nothing is close
    };
    const Case cases[] = {
        {"KEY-1 = CTRL+ALT+DELL", "CTRL+ALT+DEL"},
        {"KEY-1 = ENTRE", "ENTER"},
        {"KEY-1 = enter", "ENTER"},
        {"KEY-1 =  ENTER", "ENTER"},
        {"KEY-1 = ENTER # enter key", "ENTER"},
        {"KEY-1 = GameKey 1", "GameKey1"},
        {"KEY-1 = VOLUP", "VOL_UP"},
        {"KEY-1 = PAGEUP", "PGUP"},
        {"KEY-1 = HID 41", "HID(41)"},
        {"KEY-1 = MoveUp(10)", "MoveUp(10)Pixel"},
        {"KEY-1 = Wheel BackWard = 3", "Wheel BackWard = 3 "},
        {"KEY-1 = ab+CTRL", ""},
        {"KEY-1 = qwertyuiop", ""},
    };
    for (const Case &c : cases) {
        const KeyMapResult result = ParseKeyMap(c.line, 8);
        ASSERT_FALSE(result.map) << c.line;
        const std::string text = std::string(c.line).substr(8);
        const std::string hint = *c.didYouMean ? "是不是 " + std::string(c.didYouMean) + "？" : "";
        EXPECT_EQ(result.error.args, (std::vector<std::string>{"1", c.line, hint, "KEY-1 (keyboard) = " + text})) << c.line;
    }
    // A long line's fix is cut like its text, not copied whole into the message.
    EXPECT_LT(ParseKeyMap("KEY-1 = " + std::string(100000, 'x'), 8).error.args.back().size(), 300u);
    // The page belongs before "=".
    EXPECT_EQ(ParseKeyMap("KEY-2 = (mouse) MLKey", 8).error.args,
              (std::vector<std::string>{"1", "KEY-2 = (mouse) MLKey", "KEY-2 (mouse) = MLKey"}));
    // On the command line the fix is a pair of arguments.
    EXPECT_EQ(ParseKeyArguments(std::vector<std::string>{"KEY-3", "ENTRE"}, 8).error.args,
              (std::vector<std::string>{"1", "KEY-3 = ENTRE", "是不是 ENTER？", "'KEY-3 (keyboard)' 'ENTRE'"}));

    // One character, with the modifiers it may carry, is still the character field; so is any
    // text with its page named.
    const std::pair<const char *, KeyRecord> taken[] = {
        {"KEY-1 = a", {0x00, 0x40, 0x04}},
        {"KEY-1 = a+CTRL+SHIFT", {0x00, 0x43, 0x04}},
        {"KEY-1 = #+ALT", {0x00, 0x46, 0x20}},
        {"KEY-1 = +", {0x00, 0x42, 0x2E}},
        {"KEY-1 (keyboard) = CTRL+ALT+DELL", {0x00, 0x50, 0x06}},
    };
    for (const auto &[line, record] : taken) {
        const KeyMapResult result = ParseKeyMap(line, 8);
        ASSERT_TRUE(result.map) << line;
        EXPECT_EQ(result.map->keys.front().record, record) << line;
    }
}

// Each slip of a named text (a character dropped, two neighbours swapped, the case
// changed) still finds that text among the closest: the comparison's shortcuts (the character
// counts, the cut-off once a row is past reach, the texts made once) may only skip what is far.
TEST(KeyMapFailClosed, ADroppedOrSwappedCharacterOrAnotherCaseStillFindsTheNamedText)
{
    const std::string named[] = {"CTRL+ALT+DEL", "SHIFT+WIN+ESC", "VOL_UP", "Move Left(10)Pixel",
                                 "GameKey1", "CTRL+HID(41)", "Wheel BackWard = 3 "};
    for (const std::string &text : named) {
        std::vector<std::string> slips;
        for (std::size_t at = 0; at < text.size(); ++at) {
            if (std::isdigit(static_cast<unsigned char>(text[at])))
                continue; // another number is another text, not a slip
            slips.push_back(std::string(text).erase(at, 1));
            if (at + 1 < text.size() && !std::isdigit(static_cast<unsigned char>(text[at + 1])))
                slips.push_back(std::string(text).replace(at, 2, {text[at + 1], text[at]}));
        }
        std::string lower = text;
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
        slips.push_back(lower);
        for (const std::string &slip : slips) {
            if (ParseAssignmentText(slip) && !IsLongCharacterField(slip))
                continue; // the slip names another key ("F12" losing its "1")
            const std::vector<std::string> closest = ClosestKeyTexts(slip);
            EXPECT_NE(std::find(closest.begin(), closest.end(), text), closest.end()) << slip << " -> " << text;
        }
    }
}

// A record's index bits name its own key, or the line is refused with the first byte that does;
// its page bits are free, and what a module holds unwritten (erased, cleared, a factory record)
// reads back as it is.
TEST(KeyMapFailClosed, ARawRecordNamesItsOwnKey)
{
    struct Case {
        const char *line;
        const char *fix; // "" when the line is taken
    };
    const Case cases[] = {
        {"KEY-2 (raw 41 01 0A) =", ""},
        {"KEY-2 (raw 40 01 0a) =", "KEY-2 (raw 41 01 0A) = "},
        {"KEY-5 (raw 41 41 00) = MLKey", "KEY-5 (raw 44 41 00) = MLKey"},
        {"KEY-5 (raw C4 12 34) =", ""},
        {"KEY-64 (raw FF 01 02) =", ""},
        {"KEY-5 (raw FF FF FF) =", ""},
        {"KEY-5 (raw 00 00 00) =", ""},
        {"KEY-3 (raw 03 00 3C) =", ""},   // factory configuration 1 at KEY-3
        {"KEY-3 (raw 03 00 3A) =", "KEY-3 (raw 02 00 3A) = "}, // its KEY-1 record
        {"KEY-2 (raw 80 02 00) =", ""},   // factory configuration 2 at KEY-2
    };
    for (const Case &c : cases) {
        const KeyMapResult result = ParseKeyMap(c.line, kMaxKeyCount);
        EXPECT_EQ(result.map.has_value(), !*c.fix) << c.line;
        if (*c.fix) {
            EXPECT_EQ(result.error.args.back(), c.fix) << c.line;
        }
    }
}
