#pragma once

#include "common/DlgControls.h"

#include <array>
#include <cstdint>
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

// Turns the mouse page's controls into value byte 0 (buttons, movement direction, wheel), value
// byte 1 (pixel or wheel count) and the description. A count the byte cannot carry is refused
// with a message: the text is then empty and refused is set.
std::string GetMouseAssignment(const IDlgControls &controls, std::uint8_t &value1, std::uint8_t &value2,
                               bool &refused);

// A direction chosen by hand has just cleared the wheel's "无" with the rest of the radio group;
// checking it again keeps a movement and a wheel action from ever going out together.
void KeepWheelOffAfterMove(IDlgControls &controls);

// A press in a direction's count field chooses that direction, with the wheel off.
void ChooseMoveByCountField(IDlgControls &controls, const MouseMove &move);
