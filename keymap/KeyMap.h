#pragma once

#include "records/ModuleRecords.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A key map: what to write to each key of a module, and optionally the two parameters the window
// writes. Its file is UTF-8 text, one line per key in the log's own form:
//
//   # comment
//   KEY-3 = CTRL+ALT+DEL
//   KEY-4 (mouse) =
//   KEY-5 (raw 44 41 00) = MLKey
//   long-press = no
//   debounce = 40
//
// "KEY-n = text" reads the text as the page that logs it (see ParseAssignmentText: where several
// page states log one text, the plain one), but never as the character field holding several
// characters; "(keyboard)", "(mouse)" or "(gamepad)" names the page where the text alone does not;
// "(raw b0 b1 b2)" gives the key's record bytes in hex, written as they are, the text after "="
// being then only what the log shows. The record's index bits must name its own key (a record a
// module holds unwritten excepted). A NUL, CR or LF inside a line is refused.
struct KeyMapEntry {
    int keyIndex = 0; // KEY-1 is 0
    KeyRecord record{};
    std::string text; // what the log shows for the key
    bool operator==(const KeyMapEntry &) const = default;
};

struct KeyMap {
    std::vector<KeyMapEntry> keys; // in key order, one per key
    std::optional<std::uint8_t> longPress; // item index: 0 "是" (yes), 1 "否" (no)
    std::optional<int> debounce;            // milliseconds
    std::optional<std::uint8_t> workMode;   // item index of the work-mode list
    std::optional<std::uint8_t> baud;       // item index of the baud-rate list
    bool operator==(const KeyMap &) const = default;
    bool HasParameters() const { return longPress || debounce || workMode || baud; }
};

// The long-press item index a word names, in key maps and on the command line: "yes" 0, "no" 1.
std::optional<std::uint8_t> LongPressItem(std::string_view word);
// The word of an item index: "yes" for 0, "no" for any other.
std::string_view LongPressWord(std::uint8_t item);

// Sets a key's entry, replacing what the map held for that key.
void SetKey(KeyMap &map, KeyMapEntry entry);

// A parameter's value in a map (nullopt: the map leaves it out), and its text in a key map's line:
// "yes"/"no" for long-press, the number for the others.
std::optional<int> MapValue(const KeyMap &map, Parameter parameter);
void SetMapValue(KeyMap &map, Parameter parameter, std::optional<int> value);
std::string ParameterText(Parameter parameter, int value);
