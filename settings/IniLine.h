#pragma once

#include <optional>
#include <string_view>

// How the INI document reads one line. There is no comment syntax: every line that is not a
// section header is an entry, and a line without '=' is an entry with the empty name.

// Blank, tab, line feed, vertical tab, form feed and carriage return.
bool IsIniSpace(char c);
std::string_view TrimIniSpace(std::string_view text);

// The name of a section header (a line that starts with '[' once leading white space is gone):
// the text up to the first ']', trimmed; empty when there is no ']'. nullopt for other lines.
std::optional<std::string_view> SectionNameOf(std::string_view line);

// The trimmed text before and after the first '='; both empty for a line without '='.
std::string_view KeyNameOf(std::string_view line);
std::string_view ValueOf(std::string_view line);

// Whether a name written into a header or an entry line is found again by the lookups above.
bool IsUsableSectionName(std::string_view name);
bool IsUsableKeyName(std::string_view name);
