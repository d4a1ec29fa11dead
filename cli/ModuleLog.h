#pragma once

#include <chrono>
#include <string>
#include <vector>

// What happened to one module on a production line: one line of the --log file.
struct ModuleLogEntry {
    std::chrono::system_clock::time_point time;
    std::string node;
    std::string serial; // left out of the line when the module has none
    int keyCount = 0;
    std::vector<std::string> written; // the key-map lines that went to the module
    std::string verify;               // the read-back's verdict; left out when there was none
    std::string error;                // why the module failed; left out on success
};

// The entry as one JSON object on one line, ending in a newline.
std::string JsonLine(const ModuleLogEntry &entry);
