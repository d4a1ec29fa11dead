#pragma once

#include "cli/Cli.h"

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

// A key-map file holding content, in the temporary folder under a name of this process's own.
inline std::string KeyMapFile(const std::string &content)
{
    static int files = 0;
    const auto path = std::filesystem::temp_directory_path() /
                      ("tavrin-key-map-" + std::to_string(::getpid()) + "-" + std::to_string(++files));
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
}
