#include "keymap/AssignmentText.h"
#include "keymap/KeyMap.h"
#include "keymap/KeyTable.h"
#include "pages/GamePadAssignment.h"
#include "pages/KeyCodes.h"
#include "pages/KeyboardAssignment.h"
#include "pages/MouseAssignment.h"
#include "pages/MouseIds.h"
#include "support/MapDlgControls.h"
#include "support/RecordingSink.h"

#include <gtest/gtest.h>

#include <functional>

namespace {
using namespace KeyboardId;

// One reachable state of a page and what the page's own logic makes of it.
struct PageResult {
    PageAssignment assignment;
    std::string text;
    bool oneCharacterField = true; // the keyboard's character field holds at most one character
};

using Choice = std::function<void(CMapDlgControls &)>;
using Reader = std::function<std::string(CMapDlgControls &, std::uint8_t &, std::uint8_t &, bool &)>;

// Each choice with every subset of boxes checked, read by the page's logic; what it refuses is left out.
void AddStates(std::vector<PageResult> &results, PageKind kind, const std::vector<Choice> &choices,
               const std::vector<int> &boxes, const Reader &read, bool oneCharacterField = true)
{
    for (const Choice &choose : choices) {
        for (int subset = 0; subset < (1 << boxes.size()); ++subset) {
            CMapDlgControls controls;
            choose(controls);
            for (std::size_t bit = 0; bit < boxes.size(); ++bit)
                controls.CheckDlgButton(boxes[bit], (subset >> bit) & 1);
            std::uint8_t value1 = 0, value2 = 0;
            bool refused = false;
            const std::string text = read(controls, value1, value2, refused);
            if (!refused)
                results.push_back({{kind, value1, value2}, text, oneCharacterField});
        }
    }
}

// The reactions: a key radio sets the other groups to "无" and checks both field radios; a press
// on a field sets every group to "无" and takes its field into use.
void ChooseKey(CMapDlgControls &controls, int id)
{
    for (const int none : {kSpecialNone, kFnNone, kMediaNone, kCharNone, kCodeNone})
        controls.CheckDlgButton(none, true);
    const int groupNone = id >= kMediaFirst ? kMediaNone : id >= kFnFirst ? kFnNone : kSpecialNone;
    controls.CheckDlgButton(groupNone, false);
    controls.CheckDlgButton(id, true);
    controls.SetDlgItemText(kCharField, "q"); // left over in a field, not in use
}

// A key chosen, then the special "无" clicked: a character in the field wins again.
void ChooseKeyThenNone(CMapDlgControls &controls)
{
    ChooseKey(controls, kSpecialFirst);
    controls.CheckDlgButton(kSpecialFirst, false);
    controls.CheckDlgButton(kSpecialNone, true);
}

Choice PressField(int field, const std::string &text)
{
    return [field, text](CMapDlgControls &controls) {
        ChooseKeyThenNone(controls);
        controls.CheckDlgButton(field == kCharField ? kCharNone : kCodeNone, false);
        controls.SetDlgItemText(kCharField, field == kCharField ? text : "");
        controls.SetDlgItemText(field, text);
    };
}

// Every state of the three pages that their controls and reactions can reach, on a sample of the
// texts a field may hold.
std::vector<PageResult> ReachableStates()
{
    std::vector<PageResult> results;
    const Reader keyboard = [](CMapDlgControls &c, std::uint8_t &flags, std::uint8_t &code, bool &refused) {
        return Keyboard::GetKeyAssignment(c, flags, code, refused);
    };
    std::vector<int> modifiers;
    for (const KeyEntry &modifier : kModifierKeys)
        modifiers.push_back(modifier.id);
    std::vector<Choice> keys{[](CMapDlgControls &) {}, ChooseKeyThenNone}; // untouched, and "无" again
    const auto addKeys = [&keys](const auto &table) {
        for (const KeyEntry &key : table)
            keys.push_back([id = key.id](CMapDlgControls &c) { ChooseKey(c, id); });
    };
    addKeys(kSpecialKeys);
    addKeys(kFunctionKeys);
    addKeys(kMediaKeys);
    for (char ch = ' '; ch <= '~'; ++ch)
        keys.push_back(PressField(kCharField, std::string(1, ch)));
    for (const std::string text : {"0", "4", "41", "-1", "255", "300", "abc", "4)"})
        keys.push_back(PressField(kCodeField, text));
    AddStates(results, PageKind::Keyboard, keys, modifiers, keyboard);
    AddStates(results, PageKind::Keyboard, {PressField(kCharField, "ab"), PressField(kCharField, "HID("),
                                            PressField(kCharField, "1+2")}, modifiers, keyboard, false);

    using namespace MouseId;
    std::vector<Choice> mouse = {
        [](CMapDlgControls &) {},                                    // untouched: the wheel counts as in use
        [](CMapDlgControls &c) { c.CheckDlgButton(kWheelNone, true); }, // neither movement nor wheel
    };
    for (const MouseMove &move : kMouseMoves) {
        for (const std::string count : {"", "0", "5", "127", "abc", " 12xyz"})
            mouse.push_back([&move, count](CMapDlgControls &c) {
                ChooseMoveByCountField(c, move);
                c.SetDlgItemText(move.countField, count);
            });
    }
    for (const int turn : {-1, 0, 1}) {
        for (const std::string count : {"", "-128", "-3", "0", "3", "127", "x"})
            mouse.push_back([turn, count](CMapDlgControls &c) {
                c.CheckDlgButton(kMoveNone, true);
                c.SetCurSel(kWheelDirection, turn);
                c.SetDlgItemText(kWheelCount, count);
            });
    }
    AddStates(results, PageKind::Mouse, mouse, {kLeftButton, kMiddleButton, kRightButton}, GetMouseAssignment);

    std::vector<Choice> pads{[](CMapDlgControls &) {}};
    for (const int id : kGamePadChoices)
        pads.push_back([id](CMapDlgControls &c) { c.CheckDlgButton(id, true); });
    AddStates(results, PageKind::GamePad, pads, {}, [](CMapDlgControls &c, std::uint8_t &v1, std::uint8_t &v2, bool &) {
        return GetGamePadAssignment(c, v1, v2);
    });
    return results;
}

// The texts that do not fix their bytes even with the page known: an untouched keyboard page
// (media flag without a media key) and a mouse wheel in use without a direction.
// What a page's own logic makes of a state of its controls.
PageAssignment RunPage(PageKind kind, const CControlState &state)
{
    std::uint8_t value1 = 0, value2 = 0;
    bool refused = false;
    if (kind == PageKind::Keyboard)
        Keyboard::GetKeyAssignment(state, value1, value2, refused);
    else if (kind == PageKind::Mouse)
        GetMouseAssignment(state, value1, value2, refused);
    else
        GetGamePadAssignment(state, value1, value2);
    return {kind, value1, value2};
}

bool NeedsRawForm(const PageResult &result)
{
    const PageAssignment &a = result.assignment;
    return (a.kind == PageKind::Keyboard && result.text.empty() && a.value1 != 0) ||
           (a.kind == PageKind::Mouse && (a.value1 & 0x40) && result.text.find("Wheel") == std::string::npos);
}
} // namespace

TEST(KeyMapRoundTrip, EveryReachablePageStateReadsBackToItsRecord)
{
    CRecordingSink sink;
    const std::vector<PageResult> states = ReachableStates();
    ASSERT_GT(states.size(), 2000u);
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
        EXPECT_EQ(line.find("(raw ") != std::string::npos, NeedsRawForm(state)) << line;
        // The key table's cell holds the same entry as the line.
        EXPECT_EQ(ReadKeyCell(key, KeyCellText(entry)).entry, entry) << "'" << KeyCellText(entry) << "'";
        if (NeedsRawForm(state))
            continue;
        EXPECT_EQ(ParseAssignmentText(state.text, a.kind), a) << "'" << state.text << "'";
        // The controls the key table sets on the page give the page's bytes again.
        const std::optional<CControlState> controls = PageStateOfText(state.text, a.kind);
        ASSERT_TRUE(controls) << "'" << state.text << "'";
        EXPECT_EQ(RunPage(a.kind, *controls), a) << "'" << state.text << "'";
        if (!state.text.empty() && state.oneCharacterField) {
            EXPECT_EQ(ParseAssignmentText(state.text), a) << "'" << state.text << "'";
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

TEST(KeyMapRoundTrip, TextsNoPageProducesAreErrorsThatNameTheLine)
{
    CRecordingSink sink; // the pages' own refusals of out-of-range counts
    struct Case {
        const char *file;
        std::vector<std::string> error; // line number, then the values of the message
    };
    const Case cases[] = {
        {"KEY-1 = CTRL+ALT+DELL\n", {"1", "KEY-1 = CTRL+ALT+DELL"}},
        {"# ok\nKEY-1 = ALT+CTRL\n", {"2", "KEY-1 = ALT+CTRL"}},
        {"KEY-1 = ab\n", {"1", "KEY-1 = ab"}},
        {"KEY-2 = MoveUp(128)Pixel\n", {"1", "KEY-2 = MoveUp(128)Pixel"}},
        {"KEY-2 = Wheel Forward = -129\n", {"1", "KEY-2 = Wheel Forward = -129"}},
        {"KEY-1 = GameKey9\n", {"1", "KEY-1 = GameKey9"}},
        {"KEY-1 (raw 41 41) = x\n", {"1", "KEY-1 (raw 41 41) = x"}},
        {"KEY-1 (joystick) = GameKey1\n", {"1", "KEY-1 (joystick) = GameKey1"}},
        {"KEY-1 = ENTER\nKEY-9 = ENTER\n", {"2", "KEY-9", "8"}},
        {"KEY-0 = ENTER\n", {"1", "KEY-0", "8"}},
        {"KEY-1 = ENTER\r\nKEY-1 = ESC\r\n", {"2", "KEY-1"}},
        {"KEY-1 =\n", {"1", "KEY-1"}},
        {"debounce = 9\n", {"1", "9"}},
        {"long-press = maybe\n", {"1", "long-press = maybe"}},
        {"\n# nothing\n", {}},
    };
    for (const Case &c : cases) {
        const KeyMapResult result = ParseKeyMap(c.file, 8);
        EXPECT_FALSE(result.map) << c.file;
        EXPECT_EQ(result.error.args, c.error) << c.file;
    }
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
