#pragma once

#include <cstdint>
#include <string_view>

// Reads a number the way the C library's atoi does: leading blanks, an optional sign, decimal
// digits up to the first other character, 0 when there are none. Never hexadecimal or octal.
// A value beyond 32 bits saturates at the int32 limits instead of being undefined.
std::int32_t AtoiRule(std::string_view text);
