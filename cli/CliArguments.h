#pragma once

#include "common/UserText.h"
#include "device/DeviceLink.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A tavrin-cli command line, read and checked whole before any module is searched: every option
// the command takes, every value in its range, the number of operands. Options may stand anywhere
// after the command, as "--option VALUE" or "--option=VALUE"; "--" ends them; "-" as a file is
// standard input or output. A usage error leaves error set, and nothing else is to be trusted.
struct CliArguments {
    std::string command; // empty for the overview (no command, --help, help) and --version
    std::vector<std::string> operands;
    std::optional<std::string> language; // --lang as written; the language layer checks it
    bool help = false;
    bool version = false;
    bool json = false;
    bool verify = false;
    bool each = false;
    std::optional<long long> waitMs; // --wait: -1 without a number of seconds
    std::optional<int> count;
    std::optional<std::string> log;
    std::optional<std::uint8_t> longPress;
    std::optional<int> debounce;
    ModuleChoice choice;
    std::optional<UserText> error;
};

CliArguments ReadCliArguments(const std::vector<std::string> &args);

// The overview and each command's help: every option a command takes is in its help, which the
// manual page is checked against.
const char *CliOverview();
// nullptr for a command tavrin-cli does not have.
const char *CliCommandHelp(const std::string &command);
