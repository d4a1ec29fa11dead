#pragma once

#include "cli/ErrorCode.h"
#include "keymap/ModuleConfig.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

// What happened to one module on a production line: one line of the --log file. Every line has
// the same keys, null where there is nothing to say, so that the log loads as one table:
//   time         UTC, milliseconds ("2026-12-07T12:40:00.123Z"), when the module was found
//   duration_ms  from then to the line
//   node, serial the interface written to (serial null when the module has none)
//   ok, exit     the module's result and the exit status it stands for
//   error_code   ErrorCode.h's word, null on success; error: the messages, untranslated
//   written      the key-map lines that went to the module, in order
//   verify       the read-back's differences as {item, expected, actual}; [] when all matched,
//                null when nothing was read back
//   tool_version, map_file, map_sha256: what wrote it, and from which key map
struct ModuleLogEntry {
    std::chrono::system_clock::time_point time;
    long long durationMs = 0;
    std::string node;
    std::string serial;
    int exitStatus = 0;
    CliError error = CliError::None;
    std::string errorText;
    std::vector<std::string> written;
    std::optional<std::vector<ConfigDifference>> verify;
    std::string mapFile;
    std::string mapSha256;
};

// The entry as one JSON object on one line, ending in a newline.
std::string JsonLine(const ModuleLogEntry &entry);
