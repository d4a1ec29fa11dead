#pragma once

#include "cli/Cli.h"
#include "sim/VirtualHidBackend.h"
#include "sim/VirtualModule.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

// Runs one tavrin-cli command line in environment, what it prints collected into printed.
inline int RunCliCollecting(const std::vector<std::string> &args, CliEnvironment environment, std::string &printed)
{
    char *output = nullptr;
    std::size_t size = 0;
    environment.out = open_memstream(&output, &size);
    const int status = RunCli(args, environment);
    std::fclose(environment.out);
    printed.assign(output, size);
    std::free(output);
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
                                     ("tavrin-key-maps-" + std::to_string(::getpid()));
        Folder() { std::filesystem::create_directories(path); }
        ~Folder() { std::filesystem::remove_all(path); }
    } folder;
    static int files = 0;
    const auto path = folder.path / std::to_string(++files);
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
}
