#pragma once

#include "common/DlgControls.h"

#include <array>
#include <cstdint>
#include <string>

// The thirteen radios of the gamepad page, hidden ones included.
extern const std::array<int, 13> kGamePadChoices;

// Sets both value bytes to 0 whatever they held, then puts the chosen button's value into byte 0
// and returns its description; " 无" or no choice gives the empty text. Never refuses.
std::string GetGamePadAssignment(const IDlgControls &controls, std::uint8_t &value1, std::uint8_t &value2);

// A click on one choice: it checked and the other twelve cleared, so that even a choice checked
// from code cannot stay beside it.
void ClickGamePadChoice(IDlgControls &controls, int chosen);
