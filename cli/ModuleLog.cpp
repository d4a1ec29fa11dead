#include "cli/ModuleLog.h"

#include "cli/CliJson.h"
#include "common/Version.h"

#include <cstdio>
#include <ctime>

namespace {
std::string IsoTime(std::chrono::system_clock::time_point time)
{
    const auto since = time.time_since_epoch();
    const std::time_t seconds = std::chrono::duration_cast<std::chrono::seconds>(since).count();
    const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(since).count() % 1000;
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[40];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
    std::snprintf(text + length, sizeof text - length, ".%03dZ", static_cast<int>(milliseconds));
    return text;
}
} // namespace

std::string JsonLine(const ModuleLogEntry &entry)
{
    const nlohmann::json line = {
        {"time", IsoTime(entry.time)},
        {"duration_ms", entry.durationMs},
        {"node", OrNull(entry.node)},
        {"serial", OrNull(entry.serial)},
        {"ok", entry.exitStatus == 0},
        {"exit", entry.exitStatus},
        {"error_code", JsonOfErrorCode(entry.error)},
        {"error", OrNull(entry.errorText)},
        {"written", entry.written},
        {"verify", entry.verify ? JsonOfDifferences(*entry.verify) : nlohmann::json()},
        {"tool_version", TavrinVersion()},
        {"map_file", OrNull(entry.mapFile)},
        {"map_sha256", OrNull(entry.mapSha256)},
    };
    return JsonText(line) + "\n";
}
