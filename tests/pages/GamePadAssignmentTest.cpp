#include "pages/GamePadAssignment.h"
#include "pages/GamePadIds.h"

#include "support/MapDlgControls.h"
#include "support/RecordingSink.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>

namespace {
using namespace GamePadId;

struct GamePadCase {
    const char *name;
    int checked; // 0: nothing chosen
    std::string text;
    std::uint8_t value1;
};

void PrintTo(const GamePadCase &c, std::ostream *out)
{
    *out << c.name;
}

class GamePadAssignment : public testing::TestWithParam<GamePadCase> {};

// Whatever the caller passes in, both bytes are set afresh and nothing is ever refused.
TEST_P(GamePadAssignment, GivesTheChoicesValueAndPiece)
{
    const GamePadCase &c = GetParam();
    CMapDlgControls controls;
    if (c.checked)
        controls.CheckDlgButton(c.checked, true);
    CRecordingSink sink;
    std::uint8_t value1 = 0xAA;
    std::uint8_t value2 = 0x55;

    EXPECT_EQ(GetGamePadAssignment(controls, value1, value2), c.text);
    EXPECT_EQ(value1, c.value1);
    EXPECT_EQ(value2, 0x00);
    EXPECT_TRUE(sink.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(EveryChoice, GamePadAssignment,
                         testing::Values(GamePadCase{"Nothing", 0, "", 0},
                                         GamePadCase{"None", kNone, "", 0},
                                         GamePadCase{"Button1", kButton1, "GameKey1", 1},
                                         GamePadCase{"Button2", kButton2, "GameKey2", 2},
                                         GamePadCase{"Button3", kButton3, "GameKey3", 3},
                                         GamePadCase{"Button4", kButton4, "GameKey4", 4},
                                         GamePadCase{"Button5", kButton5, "GameKey5", 5},
                                         GamePadCase{"Button6", kButton6, "GameKey6", 6},
                                         GamePadCase{"Button7", kButton7, "GameKey7", 7},
                                         GamePadCase{"Button8", kButton8, "GameKey8", 8},
                                         GamePadCase{"Up", kUp, "Game Move Up", 0x14},
                                         GamePadCase{"Down", kDown, "Game Move Down", 0x15},
                                         GamePadCase{"Left", kLeft, "Game Move Left", 0x16},
                                         GamePadCase{"Right", kRight, "Game Move Right", 0x17}),
                         [](const testing::TestParamInfo<GamePadCase> &info) { return std::string(info.param.name); });

TEST(GamePadChoices, ClickedOneClearsTheOtherTwelveHiddenOnesIncluded)
{
    CMapDlgControls controls;
    for (int choice : kGamePadChoices)
        controls.CheckDlgButton(choice, true);
    ClickGamePadChoice(controls, kButton2);
    for (int choice : kGamePadChoices)
        EXPECT_EQ(controls.IsDlgButtonChecked(choice), choice == kButton2) << choice;
}
} // namespace
