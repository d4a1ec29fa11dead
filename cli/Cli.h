#pragma once

#include "cli/ExitStatus.h"
#include "device/ModuleCommands.h"
#include "device/ModuleWatcher.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class IHidBackend;
struct CliArguments;

// What the tool runs on: the module's backend, the key count of the settings file, a clock to
// wait with, and whether Ctrl-C was pressed. Results go to out, messages to the message sink.
// settingsParameters: what the window would show from the settings file, sent where a command
// leaves a parameter out and the module holds no usable value. A run that waits for modules
// starts makeWatcher's watcher (none: it searches every 250 ms, sleeping in between) and waits
// on it with waitReady, which returns when the watcher's signal is ready, an interrupt came, or
// milliseconds (-1: no limit) have passed.
struct CliEnvironment {
    IHidBackend &backend;
    int keyCount = 0;
    std::function<void(int milliseconds)> sleep;
    std::function<bool()> interrupted;
    std::FILE *out = stdout;
    ModuleParameters settingsParameters{0, 0, 0, 40};
    std::function<std::unique_ptr<IModuleWatcher>()> makeWatcher = nullptr;
    std::function<void(ReadySignal watcher, int milliseconds)> waitReady = nullptr;
    std::FILE *in = stdin; // a key map given as "-"
    // Gives the production line's last words to the second Ctrl-C (nullptr: takes them back).
    std::function<void(std::function<void()> words)> setLastWords = nullptr;
};

// Runs one command line (without the program name) and returns its exit status.
int RunCli(const std::vector<std::string> &args, CliEnvironment &environment);
// The same for a command line already read (main reads it first for its --lang).
int RunCliCommand(const CliArguments &arguments, CliEnvironment &environment);
