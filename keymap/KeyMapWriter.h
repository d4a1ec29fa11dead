#pragma once

#include "keymap/KeyMap.h"

#include <string>

// The line of one key: the log's form when its text reads back to its record, else the page's or
// the raw form. A text ending in a blank always names its page.
std::string FormatKeyLine(const KeyMapEntry &entry);
// header: comment lines ("# …\n") that follow the file's first line.
std::string FormatKeyMap(const KeyMap &map, const std::string &header = {});
