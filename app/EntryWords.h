#pragma once

#include "keymap/KeyMap.h"
#include "keymap/KeyTable.h"

#include <QString>

#include <optional>
#include <string>

// What a record sends, as the log writes it; "(空)" for a record that sends nothing. The words
// the key table and its printed sheet show, never the key map's own form.
QString EntryWords(const KeyMapEntry &entry);

// A cell's entry (the key map's form) in plain words: a parameter's value as the main window
// shows it, a key's record as EntryWords gives it. A text the reader refuses is given as it is.
QString PlainWords(const std::optional<MapParameter> &parameter, int keyIndex, const std::string &cell);

// A parameter's name as the main window labels it: "长按连击", "按键消抖".
QString ParameterName(MapParameter parameter);
// The key table's name, its title and the heading of its printed sheet.
QString KeyTableName();
