#pragma once

#include "common/UserText.h"
#include "keymap/KeyMap.h"

#include <optional>
#include <string>
#include <string_view>

// The key table shows each entry of a key map as the part of its line after the key's name, so
// that a cell is typed in the key map's own form: "CTRL+ALT+DEL", "(mouse) =", "(raw 41 41 00) = MLKey".
std::string KeyCellText(const KeyMapEntry &entry);

// Reads a key's cell with the key-map reader's rules. An empty cell holds no entry; a cell the
// reader does not take is Invalid, with the reader's reason worded for the cell.
enum class CellState { Empty, Valid, Invalid };
struct KeyCell {
    CellState state = CellState::Empty;
    KeyMapEntry entry;
    UserText reason; // why an Invalid cell is refused
};
KeyCell ReadKeyCell(int keyIndex, std::string_view cell);

// The two parameters as cells of their own rows, in their key-map forms ("yes", "40").
enum class MapParameter { LongPress, Debounce };
std::string ParameterCellText(const KeyMap &map, MapParameter parameter);
// Sets the parameter of map that the cell gives (leaves it out for an empty cell); Invalid, and
// map unchanged, when the reader refuses the cell, reason then telling why.
CellState ReadParameterCell(MapParameter parameter, std::string_view cell, KeyMap &map, UserText *reason = nullptr);
