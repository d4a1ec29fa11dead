#pragma once

#include "keymap/KeyMap.h"

#include <optional>
#include <string>

class CCliRun;

// apply --each: the production line. mapFile and mapBytes name the key map in the log.
struct ProductionLine {
    const KeyMap &map;
    std::string mapFile;
    std::string mapBytes;
    int count = 0; // 0: until Ctrl-C
    bool verify = false;
    std::optional<std::string> logFile;
};
int RunProductionLine(CCliRun &run, const ProductionLine &line);
