#pragma once

#include "common/DlgControls.h"

#include <cstdint>
#include <string>

namespace Keyboard {
// Turns the keyboard page's controls into the flags and code bytes of a key (both 0 on entry)
// and returns the description. The first character of the character field picks the key code.
// Only a character of the keys' own table, an ASCII one, is a key: any other character is
// refused with a message (the text is then empty and refused is set), since its code-page byte
// would stand for an unrelated key or for none. Reads the controls only.
std::string GetKeyAssignment(const IDlgControls &controls, std::uint8_t &flags, std::uint8_t &code, bool &refused);
} // namespace Keyboard
