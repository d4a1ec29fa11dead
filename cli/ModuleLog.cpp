#include "cli/ModuleLog.h"

#include <cstdio>
#include <ctime>

namespace {
// A JSON string: quotes, backslashes and control bytes escaped, so that no text (an error
// message, a key's assignment) can end the line or the string early.
std::string Quoted(const std::string &text)
{
    std::string result = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            result += '\\';
            result += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            result += escape;
        } else {
            result += c;
        }
    }
    return result + "\"";
}

std::string IsoTime(std::chrono::system_clock::time_point time)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}
} // namespace

std::string JsonLine(const ModuleLogEntry &entry)
{
    std::string line = "{\"time\":" + Quoted(IsoTime(entry.time)) + ",\"node\":" + Quoted(entry.node);
    if (!entry.serial.empty())
        line += ",\"serial\":" + Quoted(entry.serial);
    line += ",\"keys\":" + std::to_string(entry.keyCount) + ",\"written\":[";
    for (std::size_t i = 0; i < entry.written.size(); ++i)
        line += (i ? "," : "") + Quoted(entry.written[i]);
    line += "]";
    if (!entry.verify.empty())
        line += ",\"verify\":" + Quoted(entry.verify);
    if (!entry.error.empty())
        line += ",\"error\":" + Quoted(entry.error);
    return line + "}\n";
}
