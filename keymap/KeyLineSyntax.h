#pragma once

#include "records/ModuleRecords.h"

#include <string>
#include <string_view>

// The words a key map's lines are made of, shared by its reader and its writer.
inline constexpr std::string_view kRaw = "raw";
inline constexpr std::string_view kPageNames[] = {"keyboard", "mouse", "gamepad"}; // by PageKind
// A NUL, CR or LF inside a line: each would end the line somewhere else than where it shows.
inline constexpr std::string_view kLineBreaking("\0\r\n", 3);

// A byte in two hex digits: "0A".
std::string HexByte(std::uint8_t byte);
// The raw form's qualifier of a record: "raw 44 41 00".
std::string RawQualifier(const KeyRecord &record);
