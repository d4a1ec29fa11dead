#include "cli/ModuleLog.h"

#include "cli/CliJson.h"
#include "common/UtcTime.h"
#include "common/Version.h"

std::string JsonLine(const ModuleLogEntry &entry)
{
    const nlohmann::json line = {
        {"time", IsoUtcTime(entry.time)},
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
