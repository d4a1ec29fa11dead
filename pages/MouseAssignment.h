#pragma once

#include "common/DlgControls.h"
#include "common/UserText.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// A description piece around a number: before, the number in decimal, after.
struct NumberPiece {
    const char *before;
    const char *after;
};

// One movement direction of the mouse page.
struct MouseMove {
    int button;           // its radio
    int countField;       // its pixel count
    std::uint8_t code;    // bits 3-4 of value byte 0
    NumberPiece piece;    // the description, around the stored count
    const char *tooLarge; // the refusal of its count
};

// In the order the assignment looks for the checked direction: up, down, left, right.
extern const std::array<MouseMove, 4> kMouseMoves;

// The counts the page takes, as the count byte carries them: a movement's pixels up to 127 (a
// negative count's byte would pass for an unrelated distance), the wheel's steps as a signed byte.
struct CountLimits {
    std::int32_t min;
    std::int32_t max;
};
inline constexpr CountLimits kMoveCounts{0, 127};
inline constexpr CountLimits kWheelCounts{-128, 127};

// Turns the mouse page's controls into value byte 0 (buttons, movement direction, wheel), value
// byte 1 (pixel or wheel count) and the description. A count beyond its limits is refused: the
// text is then empty and refusal holds the message that says so.
std::string GetMouseAssignment(const IDlgControls &controls, std::uint8_t &value1, std::uint8_t &value2,
                               std::optional<UserText> &refusal);

// A click on a radio of the movement group (its "无", the four directions, the wheel's "无"): it
// alone of the group checked (the widget's group has already done that). A direction then checks
// the wheel's "无" again, which keeps a movement and a wheel action from ever going out together;
// the movement's "无" leaves the wheel in use.
void ClickMouseRadio(IDlgControls &controls, int radio);

// A press in a direction's count field chooses that direction, as a click on it does.
void ChooseMoveByCountField(IDlgControls &controls, const MouseMove &move);
