#pragma once

#include "pages/KeyboardIds.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The two value bytes of a keyboard key: a flags byte, then a code byte that holds a usage ID of
// the Keyboard/Keypad usage page or, under the media flag, the media bits the module reads itself.

// Bits of the flags byte. The modifiers sit where a boot keyboard report has the left-hand
// Ctrl, Shift, Alt and GUI keys (Alt is 0x04, Shift 0x02).
namespace KeyFlag {
inline constexpr std::uint8_t kCtrl = 0x01;
inline constexpr std::uint8_t kShift = 0x02;
inline constexpr std::uint8_t kAlt = 0x04;
inline constexpr std::uint8_t kWin = 0x08;
inline constexpr std::uint8_t kUpperCase = 0x10;  // an upper-case letter, sent with its lower-case code
inline constexpr std::uint8_t kMedia = 0x20;      // the code byte holds media bits, not a usage
inline constexpr std::uint8_t kCustomChar = 0x40; // the code byte came from the character map
} // namespace KeyFlag

// One key the page offers as a control.
struct KeyEntry {
    int id;            // its check box or radio
    std::uint8_t code; // modifier bit, usage ID or media bit
    const char *token; // its name in descriptions
};

// The modifiers, in the order they are named in every description.
inline constexpr std::array<KeyEntry, 4> kModifierKeys{{
    {KeyboardId::kCtrl, KeyFlag::kCtrl, "CTRL"},
    {KeyboardId::kAlt, KeyFlag::kAlt, "ALT"},
    {KeyboardId::kShift, KeyFlag::kShift, "SHIFT"},
    {KeyboardId::kWin, KeyFlag::kWin, "WIN"},
}};

// The special keys, in the order the page looks for the chosen one. The space key is named "NULL".
inline constexpr std::array<KeyEntry, 18> kSpecialKeys{{
    {1036, 0x2C, "NULL"},  {1023, 0x28, "ENTER"},  {1024, 0x29, "ESC"},  {1025, 0x4C, "DEL"},
    {1026, 0x2A, "BACK"},  {1039, 0x50, "LEFT"},   {1027, 0x49, "INSERT"}, {1028, 0x4A, "HOME"},
    {1029, 0x4D, "END"},   {1030, 0x46, "PRTSC"},  {1031, 0x66, "POWER"}, {1040, 0x4F, "RIGHT"},
    {1032, 0x2B, "TAB"},   {1033, 0x39, "CAP"},    {1034, 0x4B, "PGUP"},  {1035, 0x4E, "PGDN"},
    {1037, 0x52, "UP"},    {1038, 0x51, "DOWN"},
}};

// F1 to F12, looked at after the special keys.
inline constexpr std::array<KeyEntry, 12> kFunctionKeys{{
    {1042, 0x3A, "F1"}, {1043, 0x3B, "F2"},  {1044, 0x3C, "F3"},  {1045, 0x3D, "F4"},
    {1046, 0x3E, "F5"}, {1047, 0x3F, "F6"},  {1048, 0x40, "F7"},  {1049, 0x41, "F8"},
    {1050, 0x42, "F9"}, {1051, 0x43, "F10"}, {1052, 0x44, "F11"}, {1053, 0x45, "F12"},
}};

// The media keys, looked at after the function keys. Each sets one bit of the media byte, and its
// token is the whole description.
inline constexpr std::array<KeyEntry, 8> kMediaKeys{{
    {1055, 0x10, "MUTE"},
    {1056, 0x80, "STOP"},
    {1057, 0x01, "VOL_UP"},
    {1058, 0x02, "VOL_DOWN"},
    {1059, 0x08, "PREV"},
    {1060, 0x04, "NEXT"},
    {1061, 0x20, "PP"},
    {1062, 0x40, "Fast Forward"},
}};

// A key code typed as a number is described as "HID(" + text + ")".
inline constexpr std::string_view kHidOpen = "HID(";
inline constexpr std::string_view kHidClose = ")";

// How a name reads after a character or another name: "+CTRL", "+DEL", "+HID(".
std::string JoinedForm(std::string_view token);

// Writes the code byte for one character byte and, for shifted characters and bytes 0x80-0x87,
// changes the flags byte. A byte without a key leaves both bytes as they were.
void CharToKeyCode(unsigned char ch, std::uint8_t &flags, std::uint8_t &code);

// The code byte for the text of the key-code field: a decimal number read as atoi does (never
// hexadecimal), cut to its low 8 bits.
std::uint8_t ParseHidCode(std::string_view text);
