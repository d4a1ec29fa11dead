#pragma once

#include "common/UserText.h"
#include "keymap/KeyMap.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

// Reads a whole key map, checking every line: the keys against the module's key count, the
// parameters against their ranges. A line is read only where it means one thing: a text of
// several characters that names no key is refused, not sent as its first character. On the first
// bad line the result holds no map but the one message that names the line, its text quoted and
// why: the page's reason, or what to write instead (the closest key texts, the explicit form, the
// corrected record). Nothing is shown.
struct KeyMapResult {
    std::optional<KeyMap> map;
    UserText error;
};
KeyMapResult ParseKeyMap(std::string_view text, int keyCount);
// The same for KEY-n TEXT pairs of the command line (words holds them in turn, an even number):
// each pair is one key line, and nothing but a key; a pair holding a NUL, CR or LF is refused.
KeyMapResult ParseKeyArguments(std::span<const std::string> words, int keyCount);
// The same for one line a cell of the key table gives; its error is worded for the cell.
KeyMapResult ParseTableLine(std::string_view line);
