#pragma once

#include "common/DlgControls.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace Keyboard {
// Turns the keyboard page's controls into the flags and code bytes of a key (both 0 on entry)
// and returns the description. charBytes is the character field's text in the system's 8-bit
// encoding, whose first byte picks the key code; the controls give the same text in UTF-8 for the
// description. On Linux the two are the same bytes. Reads the controls only; never fails.
std::string GetKeyAssignment(const IDlgControls &controls, std::string_view charBytes, std::uint8_t &flags,
                             std::uint8_t &code);
} // namespace Keyboard
