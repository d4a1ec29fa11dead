#include "pages/MouseAssignment.h"

#include "common/TextNumber.h"
#include "pages/MouseIds.h"

using namespace MouseId;

const std::array<MouseMove, 4> kMouseMoves = {{
    {kMoveUp, kUpCount, 0x00, {"MoveUp(", ")Pixel"}, QT_TRANSLATE_NOOP("Tavrin", "向上像素移动数值设置过大,设置值不应超过127")},
    {kMoveDown, kDownCount, 0x08, {"MoveDown(", ")Pixel"}, QT_TRANSLATE_NOOP("Tavrin", "向下像素移动数值设置过大,设置值不应超过127")},
    {kMoveLeft, kLeftCount, 0x10, {"Move Left(", ")Pixel"}, QT_TRANSLATE_NOOP("Tavrin", "向左像素移动数值设置过大,设置值不应超过127")},
    {kMoveRight, kRightCount, 0x18, {"Move Right(", ")Pixel"}, QT_TRANSLATE_NOOP("Tavrin", "向右像素移动数值设置过大,设置值不应超过127")},
}};

namespace {
struct MouseButton {
    int checkBox;
    std::uint8_t bit;
    const char *name;
};

// Visited and named left, middle, right, although the bits run left, right, middle.
constexpr MouseButton kButtons[] = {
    {kLeftButton, 0x01, "MLKey"},
    {kMiddleButton, 0x04, "MMKey"},
    {kRightButton, 0x02, "MRKey"},
};

struct WheelTurn {
    std::uint8_t bit;
    NumberPiece piece;
};

// By the index of the direction list's entry: "往前滚动", "往后滚动".
constexpr WheelTurn kWheelTurns[] = {
    {0x00, {"Wheel Forward = ", ""}},
    {0x20, {"Wheel BackWard = ", " "}},
};

constexpr std::uint8_t kButtonBits = 0x07;
constexpr std::uint8_t kKeptByMove = 0x27;   // buttons and wheel direction
constexpr std::uint8_t kWheelBackward = 0x20;
constexpr std::uint8_t kKeptByWheel = 0x3F;
constexpr std::uint8_t kWheelInUse = 0x40;
const char *const kWheelTooLarge = QT_TRANSLATE_NOOP("Tavrin", "滚动刻度数值设置过大,设置值不应超过127");
const char *const kWheelTooSmall = QT_TRANSLATE_NOOP("Tavrin", "滚动刻度数值设置过小,设置值不应小于%1");

// The movement's "无", the four directions and the wheel's "无": one radio group.
constexpr int kMovementRadios[] = {kMoveNone, kMoveUp, kMoveDown, kMoveLeft, kMoveRight, kWheelNone};

std::string Format(const NumberPiece &piece, int number)
{
    return piece.before + std::to_string(number) + piece.after;
}

// A piece follows the button names after a "+"; without a button it is the whole text.
void Join(std::string &text, std::uint8_t value1, const std::string &piece)
{
    if (value1 & kButtonBits)
        text += "+" + piece;
    else
        text = piece;
}

std::string AddButtons(const IDlgControls &controls, std::uint8_t &value1)
{
    std::string text;
    for (const MouseButton &button : kButtons) {
        if (controls.IsDlgButtonChecked(button.checkBox)) {
            value1 |= button.bit;
            text += button.name;
        }
    }
    return text;
}

const MouseMove *CheckedMove(const IDlgControls &controls)
{
    for (const MouseMove &move : kMouseMoves) {
        if (controls.IsDlgButtonChecked(move.button))
            return &move;
    }
    return nullptr;
}

// A negative count is refused as well: its low byte would otherwise pass as some unrelated
// distance below 128.
bool AddMove(const IDlgControls &controls, const MouseMove &move, std::uint8_t &value1, std::uint8_t &value2,
             std::string &text, std::optional<UserText> &refusal)
{
    const std::int32_t count = AtoiRule(controls.GetDlgItemText(move.countField));
    value2 = static_cast<std::uint8_t>(count);
    if (count < kMoveCounts.min || count > kMoveCounts.max) {
        refusal = UserText{move.tooLarge, {}};
        return false;
    }
    Join(text, value1, Format(move.piece, value2));
    value1 = static_cast<std::uint8_t>((value1 & kKeptByMove) | move.code);
    return true;
}

// The count is checked even when no direction is chosen; without one it is not stored.
bool AddWheel(const IDlgControls &controls, std::uint8_t &value1, std::uint8_t &value2, std::string &text,
              std::optional<UserText> &refusal)
{
    const std::int32_t count = AtoiRule(controls.GetDlgItemText(kWheelCount));
    if (count > kWheelCounts.max) {
        refusal = UserText{kWheelTooLarge, {}};
        return false;
    }
    if (count < kWheelCounts.min) {
        refusal = UserText{kWheelTooSmall, {std::to_string(kWheelCounts.min)}};
        return false;
    }
    const int turn = controls.GetCurSel(kWheelDirection);
    if (turn >= 0 && turn < static_cast<int>(std::size(kWheelTurns))) {
        const WheelTurn &wheel = kWheelTurns[turn];
        value1 = static_cast<std::uint8_t>((value1 & ~kWheelBackward) | wheel.bit);
        value2 = static_cast<std::uint8_t>(count);
        Join(text, value1, Format(wheel.piece, count));
    }
    value1 = static_cast<std::uint8_t>((value1 & kKeptByWheel) | kWheelInUse);
    return true;
}
} // namespace

std::string GetMouseAssignment(const IDlgControls &controls, std::uint8_t &value1, std::uint8_t &value2,
                               std::optional<UserText> &refusal)
{
    std::string text = AddButtons(controls, value1);
    const MouseMove *move = CheckedMove(controls);
    const bool accepted =
        (!move || AddMove(controls, *move, value1, value2, text, refusal)) &&
        (controls.IsDlgButtonChecked(kWheelNone) || AddWheel(controls, value1, value2, text, refusal));
    return accepted ? text : std::string();
}

void ClickMouseRadio(IDlgControls &controls, int radio)
{
    for (const int id : kMovementRadios)
        controls.CheckDlgButton(id, id == radio);
    if (radio != kMoveNone && radio != kWheelNone)
        controls.CheckDlgButton(kWheelNone, true);
}

void ChooseMoveByCountField(IDlgControls &controls, const MouseMove &move)
{
    ClickMouseRadio(controls, move.button);
}
