#include "pages/GamePadAssignment.h"

#include "pages/GamePadIds.h"

using namespace GamePadId;

const std::array<int, 13> kGamePadChoices = {kLeft,    kUp,      kDown,    kRight,   kButton1, kButton2, kButton3,
                                             kButton4, kButton5, kButton6, kButton7, kButton8, kNone};

namespace {
struct GamePadButton {
    int radio;
    std::uint8_t value;
    const char *piece;
};

// In the order the assignment visits them; " 无" is not among them.
constexpr GamePadButton kButtons[] = {
    {kButton1, 1, "GameKey1"},      {kButton2, 2, "GameKey2"},      {kButton3, 3, "GameKey3"},
    {kButton4, 4, "GameKey4"},      {kButton5, 5, "GameKey5"},      {kButton6, 6, "GameKey6"},
    {kButton7, 7, "GameKey7"},      {kButton8, 8, "GameKey8"},      {kUp, 0x14, "Game Move Up"},
    {kDown, 0x15, "Game Move Down"}, {kLeft, 0x16, "Game Move Left"}, {kRight, 0x17, "Game Move Right"},
};
} // namespace

std::string GetGamePadAssignment(const IDlgControls &controls, std::uint8_t &value1, std::uint8_t &value2)
{
    value1 = 0;
    value2 = 0;
    std::string text;
    for (const GamePadButton &button : kButtons) {
        if (controls.IsDlgButtonChecked(button.radio)) {
            value1 = button.value;
            text += button.piece;
        }
    }
    return text;
}

void ClickGamePadChoice(IDlgControls &controls, int chosen)
{
    for (int choice : kGamePadChoices)
        controls.CheckDlgButton(choice, choice == chosen);
}
