#include "settings/IniLine.h"

namespace {
// A line feed would split the line and 0x1A ends the file when it is read back.
bool BreaksLine(std::string_view text)
{
    return text.find_first_of("\n\x1A") != std::string_view::npos;
}

bool IsTrimmed(std::string_view text)
{
    return TrimIniSpace(text).size() == text.size();
}
} // namespace

bool IsIniSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view TrimIniSpace(std::string_view text)
{
    while (!text.empty() && IsIniSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsIniSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

std::optional<std::string_view> SectionNameOf(std::string_view line)
{
    while (!line.empty() && IsIniSpace(line.front()))
        line.remove_prefix(1);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    line.remove_prefix(1);
    const auto close = line.find(']');
    if (close == std::string_view::npos)
        return std::string_view{};
    return TrimIniSpace(line.substr(0, close));
}

std::string_view KeyNameOf(std::string_view line)
{
    const auto equals = line.find('=');
    return equals == std::string_view::npos ? std::string_view{} : TrimIniSpace(line.substr(0, equals));
}

std::string_view ValueOf(std::string_view line)
{
    const auto equals = line.find('=');
    return equals == std::string_view::npos ? std::string_view{} : TrimIniSpace(line.substr(equals + 1));
}

bool IsUsableSectionName(std::string_view name)
{
    return !name.empty() && IsTrimmed(name) && !BreaksLine(name) && name.find(']') == std::string_view::npos;
}

bool IsUsableKeyName(std::string_view name)
{
    return !name.empty() && IsTrimmed(name) && !BreaksLine(name) && name.front() != '[' &&
           name.find('=') == std::string_view::npos;
}
