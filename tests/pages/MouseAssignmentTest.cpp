#include "pages/MouseAssignment.h"
#include "pages/MouseIds.h"

#include "support/MapDlgControls.h"
#include "support/RecordingSink.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace {
using namespace MouseId;

constexpr int kForward = 0;
constexpr int kBackward = 1;
constexpr int kNoTurn = -1;

const std::string kUpTooLarge = "向上像素移动数值设置过大,设置值不应超过127";
const std::string kDownTooLarge = "向下像素移动数值设置过大,设置值不应超过127";
const std::string kLeftTooLarge = "向左像素移动数值设置过大,设置值不应超过127";
const std::string kRightTooLarge = "向右像素移动数值设置过大,设置值不应超过127";
const std::string kWheelTooLarge = "滚动刻度数值设置过大,设置值不应超过127";
const std::string kWheelTooSmall = "滚动刻度数值设置过小,设置值不应小于-128";

// A page state and what the assignment must give for it. An empty message means the entry is
// taken; a message is the refusal the page returns.
struct MouseCase {
    std::string name;
    std::vector<int> checked;
    std::map<int, std::string> texts;
    int turn;
    std::string text;
    std::uint8_t value1;
    std::uint8_t value2;
    std::string message;
};

void PrintTo(const MouseCase &c, std::ostream *out)
{
    *out << c.name;
}

// The page as the user left it; the direction list always holds its two entries.
CMapDlgControls PageState(const MouseCase &c)
{
    CMapDlgControls controls;
    controls.SetList(kWheelDirection, {"往前滚动", "往后滚动"}, c.turn);
    for (int id : c.checked)
        controls.CheckDlgButton(id, true);
    for (const auto &[id, text] : c.texts)
        controls.SetDlgItemText(id, text);
    return controls;
}

class MouseAssignment : public testing::TestWithParam<MouseCase> {};

TEST_P(MouseAssignment, GivesTextBytesAndRefusal)
{
    const MouseCase &c = GetParam();
    const CMapDlgControls controls = PageState(c);
    CRecordingSink sink;
    std::uint8_t value1 = 0;
    std::uint8_t value2 = 0;
    std::optional<UserText> refusal;

    EXPECT_EQ(GetMouseAssignment(controls, value1, value2, refusal), c.text);
    EXPECT_EQ(value1, c.value1);
    EXPECT_EQ(value2, c.value2);
    EXPECT_EQ(refusal ? ComposeText(*refusal) : std::string(), c.message);
    EXPECT_TRUE(sink.messages.empty()); // the window shows a refusal, never the page
}

// Movement with the wheel off, as a click on a direction leaves the page.
MouseCase Move(std::string name, std::vector<int> checked, int field, std::string count, std::string text,
               std::uint8_t value1, std::uint8_t value2, std::string message = {})
{
    checked.push_back(kWheelNone);
    return {std::move(name), std::move(checked), {{field, std::move(count)}}, kNoTurn, std::move(text),
            value1, value2, std::move(message)};
}

// The wheel in use, as a click on the movement's "无" leaves the page.
MouseCase Wheel(std::string name, std::vector<int> checked, std::string count, int turn, std::string text,
                std::uint8_t value1, std::uint8_t value2, std::string message = {})
{
    checked.push_back(kMoveNone);
    return {std::move(name), std::move(checked), {{kWheelCount, std::move(count)}}, turn, std::move(text),
            value1, value2, std::move(message)};
}

struct Direction {
    const char *name;
    int button;
    int field;
    std::uint8_t code;
    const char *before;
    const char *after;
    const std::string &tooLarge;
};

const Direction kDirections[] = {
    {"Up", kMoveUp, kUpCount, 0x00, "MoveUp(", ")Pixel", kUpTooLarge},
    {"Down", kMoveDown, kDownCount, 0x08, "MoveDown(", ")Pixel", kDownTooLarge},
    {"Left", kMoveLeft, kLeftCount, 0x10, "Move Left(", ")Pixel", kLeftTooLarge},
    {"Right", kMoveRight, kRightCount, 0x18, "Move Right(", ")Pixel", kRightTooLarge},
};

// A typed count and what it becomes: accepted as a number of pixels, or refused with the low
// byte of what it read as left in byte 1.
struct CountEntry {
    const char *name;
    const char *typed;
    bool accepted;
    std::uint8_t value2;
};

const CountEntry kCounts[] = {
    {"Empty", "", true, 0},
    {"Letters", "abc", true, 0},
    {"BlanksThenDigitsThenLetters", " 12xyz", true, 12},
    {"Largest", "127", true, 127},
    {"OneTooMany", "128", false, 0x80},
    {"WiderThanAByte", "300", false, 0x2C},
    {"Negative", "-5", false, 0xFB},
    // Their low bytes would read as 56 and 0 pixels.
    {"NegativeWrappingToSmall", "-200", false, 0x38},
    {"NegativeWrappingToZero", "-256", false, 0x00},
    // Beyond 32 bits the count saturates instead of wrapping into something small.
    {"BeyondInt32", "99999999999", false, 0xFF},
    {"BeyondInt32Negative", "-99999999999", false, 0x00},
};

std::vector<MouseCase> EveryDirectionWithEveryCount()
{
    std::vector<MouseCase> cases;
    for (const Direction &d : kDirections) {
        for (const CountEntry &count : kCounts) {
            const std::string name = std::string(d.name) + count.name;
            if (count.accepted)
                cases.push_back(Move(name, {d.button}, d.field, count.typed,
                                     d.before + std::to_string(count.value2) + d.after, d.code, count.value2));
            else
                cases.push_back(Move(name, {d.button}, d.field, count.typed, "", 0x00, count.value2, d.tooLarge));
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(EveryDirectionWithEveryCount, MouseAssignment,
                         testing::ValuesIn(EveryDirectionWithEveryCount()),
                         [](const testing::TestParamInfo<MouseCase> &info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    PageStates, MouseAssignment,
    testing::Values(
        // Untouched, the wheel counts as in use.
        MouseCase{"Untouched", {}, {}, kNoTurn, "", 0x40, 0x00, ""},
        MouseCase{"OnlyWheelOff", {kWheelNone}, {}, kNoTurn, "", 0x00, 0x00, ""},
        MouseCase{"LeftAndRight", {kLeftButton, kRightButton, kWheelNone}, {}, kNoTurn, "MLKeyMRKey", 0x03, 0x00, ""},
        MouseCase{"AllButtons",
                  {kLeftButton, kMiddleButton, kRightButton, kWheelNone},
                  {},
                  kNoTurn,
                  "MLKeyMMKeyMRKey",
                  0x07,
                  0x00,
                  ""},
        MouseCase{"ButtonsNoneWithLeft", {kButtonNone, kLeftButton, kWheelNone}, {}, kNoTurn, "MLKey", 0x01, 0x00, ""},
        MouseCase{"ButtonsNoneAlone", {kButtonNone, kWheelNone}, {}, kNoTurn, "", 0x00, 0x00, ""},
        Move("MiddleThenDown", {kMiddleButton, kMoveDown}, kDownCount, "10", "MMKey+MoveDown(10)Pixel", 0x0C, 0x0A),
        Move("AllButtonsThenRight", {kLeftButton, kMiddleButton, kRightButton, kMoveRight}, kRightCount, "1",
             "MLKeyMMKeyMRKey+Move Right(1)Pixel", 0x1F, 0x01),
        // A refusal leaves the button bits in byte 0.
        Move("RightButtonThenLeftRefused", {kRightButton, kMoveLeft}, kLeftCount, "500", "", 0x02, 0xF4,
             kLeftTooLarge),
        // Only the checked direction's field is read.
        MouseCase{"OtherDirectionsFieldIgnored",
                  {kMoveDown, kWheelNone},
                  {{kUpCount, "999"}, {kDownCount, "4"}},
                  kNoTurn,
                  "MoveDown(4)Pixel",
                  0x08,
                  0x04,
                  ""},
        MouseCase{"WheelFieldIgnoredWhileOff", {kWheelNone}, {{kWheelCount, "999"}}, kNoTurn, "", 0x00, 0x00, ""},
        // The wheel is looked at only after the movement passed.
        MouseCase{"MovementRefusalStopsBeforeWheel",
                  {kMoveUp},
                  {{kUpCount, "200"}, {kWheelCount, "500"}},
                  kForward,
                  "",
                  0x00,
                  0xC8,
                  kUpTooLarge},
        Wheel("RightButtonWheelBackward", {kRightButton}, "3", kBackward, "MRKey+Wheel BackWard = 3 ", 0x62, 0x03),
        Wheel("WheelForwardEmptyCount", {}, "", kForward, "Wheel Forward = 0", 0x40, 0x00),
        Wheel("WheelBackwardEmptyCount", {}, "", kBackward, "Wheel BackWard = 0 ", 0x60, 0x00),
        Wheel("WheelForwardLargest", {}, "127", kForward, "Wheel Forward = 127", 0x40, 0x7F),
        Wheel("WheelNegativeAccepted", {}, "-3", kForward, "Wheel Forward = -3", 0x40, 0xFD),
        Wheel("WheelMostNegativeByte", {}, "-128", kBackward, "Wheel BackWard = -128 ", 0x60, 0x80),
        Wheel("WheelCountWithoutDirection", {kLeftButton}, "7", kNoTurn, "MLKey", 0x41, 0x00),
        Wheel("WheelTooLargeWithoutDirection", {}, "128", kNoTurn, "", 0x00, 0x00, kWheelTooLarge),
        Wheel("WheelTooLargeKeepsButtons", {kMiddleButton}, "128", kForward, "", 0x04, 0x00, kWheelTooLarge),
        // Below a signed byte the count byte would no longer hold the number the text shows.
        Wheel("WheelBelowSignedByte", {}, "-129", kForward, "", 0x00, 0x00, kWheelTooSmall),
        Wheel("WheelBeyondInt32", {}, "99999999999", kBackward, "", 0x00, 0x00, kWheelTooLarge),
        Wheel("WheelBeyondInt32Negative", {}, "-99999999999", kBackward, "", 0x00, 0x00, kWheelTooSmall)),
    [](const testing::TestParamInfo<MouseCase> &info) { return info.param.name; });

TEST(MouseAssignmentRefusal, LeavesTheRefusalAloneWhenNothingIsRefused)
{
    CMapDlgControls controls;
    controls.CheckDlgButton(kLeftButton, true);
    std::uint8_t value1 = 0;
    std::uint8_t value2 = 0;
    std::optional<UserText> refusal = UserText{"earlier", {}};
    EXPECT_EQ(GetMouseAssignment(controls, value1, value2, refusal), "MLKey");
    EXPECT_TRUE(refusal);
}
} // namespace
