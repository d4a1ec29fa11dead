#pragma once

#include "cli/Cli.h"
#include "sim/VirtualHidBackend.h"
#include "sim/VirtualModule.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

// Runs one tavrin-cli command line in environment, what it prints collected into printed. The
// output goes through a temporary file, which every system's C library gives.
inline int RunCliCollecting(const std::vector<std::string> &args, CliEnvironment environment, std::string &printed)
{
    environment.out = std::tmpfile();
    if (!environment.out) {
        printed = "(no temporary file for the output)";
        return -1;
    }
    const int status = RunCli(args, environment);
    std::fflush(environment.out);
    printed.assign(static_cast<std::size_t>(std::max(std::ftell(environment.out), 0L)), '\0');
    std::rewind(environment.out);
    printed.resize(std::fread(printed.data(), 1, printed.size(), environment.out));
    std::fclose(environment.out);
    return status;
}

// Runs one command line against module, answering validly as the standard module on a backend of
// its own; setUp (if any) prepares the module first.
template <typename SetUp>
int RunCliOnModule(CVirtualModule &module, const SetUp &setUp, const std::vector<std::string> &args, int keyCount,
                   std::string &printed)
{
    module.SetMarker(CVirtualModule::kValidMarker);
    if (setUp)
        setUp(module);
    CVirtualHidBackend backend;
    AddStandardModule(backend, module);
    return RunCliCollecting(args, {backend, keyCount, [](int) {}, [] { return false; }}, printed);
}

// A key-map file holding content, in a temporary folder of this process's own that goes when the
// process ends.
inline std::string KeyMapFile(const std::string &content)
{
    static const struct Folder {
        std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("tavrin-key-maps-" + std::to_string(std::random_device()()));
        Folder() { std::filesystem::create_directories(path); }
        ~Folder() { std::filesystem::remove_all(path); }
    } folder;
    static int files = 0;
    const auto path = folder.path / std::to_string(++files);
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
}
