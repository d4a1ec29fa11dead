#pragma once

#include "common/UserText.h"
#include "device/ModuleCommands.h"

#include <functional>
#include <optional>
#include <span>
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

// The line of one key: the log's form when its text reads back to its record, else the page's or
// the raw form. A text ending in a blank always names its page.
std::string FormatKeyLine(const KeyMapEntry &entry);
// header: comment lines ("# …\n") that follow the file's first line.
std::string FormatKeyMap(const KeyMap &map, const std::string &header = {});

// Why a map was refused before its first report.
enum class ApplyRefusal { None, KeyBeyondCount, DebounceTooSmall, DebounceTooLarge };
struct ApplyOutcome {
    WriteResult result = WriteResult::Done;
    ApplyRefusal refusal = ApplyRefusal::None;
    int key = -1; // the key beyond the count, or the key that did not go through
    std::optional<ModuleParameters> parameters; // what the map sends, when it names any parameter
};
// Checks the whole map against the module the valid query found before anything is sent (every
// key within the keys it listed, and the parameters the map will send, those it leaves out taken
// from kept), then writes each key as "键值写入" does, then its parameters. Stops at the first
// failure. written() is told of each key that went through.
ApplyOutcome ApplyKeyMap(CDeviceLink &link, const ValidQuery &valid, const KeyMap &map, const ModuleParameters &kept,
                         const std::function<void(const KeyMapEntry &)> &written);
// What to tell of a map that was refused or did not go through (the transport has told its part).
UserText DescribeApplyFailure(const ApplyOutcome &outcome);

// A key map of a few hundred keys is some kilobytes; a file this large is none.
inline constexpr std::size_t kMaxKeyMapFileSize = 4 * 1024 * 1024;

// The file forms, through the one safe file layer (settings/SafeFile.h); both show what went
// wrong through the message sink. A map the loader would refuse is not saved.
std::optional<KeyMap> LoadKeyMapFile(const std::string &path, int keyCount);
bool SaveKeyMapFile(const std::string &path, const KeyMap &map, const std::string &header = {});
