#pragma once

#include "records/ModuleRecords.h"
#include "keymap/KeyMap.h"

#include <string>
#include <vector>

// What a module holds, as a key map, and how it compares with one.

// The entry a record read from a module gives: the text a page logs for exactly these bytes, where
// one does; otherwise no text, so that the key's line takes the raw form.
KeyMapEntry EntryOfRecord(int keyIndex, const KeyRecord &record);

// The module's readable configuration: its parameters that a key map holds and its readable keys.
KeyMap KeyMapOfModule(const ModuleSnapshot &snapshot);

// One item that differs: "KEY-3" or a parameter's name ("work-mode"), with both sides as a key
// map writes them (a key's line without its "KEY-n" name).
struct ConfigDifference {
    std::string item;
    std::string expected;
    std::string actual;
    bool operator==(const ConfigDifference &) const = default;
};
struct VerifyReport {
    std::vector<ConfigDifference> differences;
    std::vector<int> unreadableKeys; // keys of the map the reply does not reach
    int comparedKeys = 0;
    bool Matches() const { return differences.empty(); }
};
VerifyReport CompareWithModule(const KeyMap &expected, const ModuleSnapshot &module);

// What the query after factory reset `number` shows unlike what the reset wrote, each item's sides
// as a key map writes them; a key's record that the reset wrote only in part shows "??" for the
// bytes it left.
std::vector<ConfigDifference> FactoryResetDifferences(int number, const ModuleSnapshot &after);
