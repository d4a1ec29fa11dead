#pragma once

#include "common/UserText.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

// A command line of the tool, read whole: "--file FILE" (or "--file=FILE") anywhere before a "--"
// that ends the options, the command and its words, --lang for the language layer. A usage error
// leaves error set.
struct SettingsToolArguments {
    std::string strPath; // empty: the files Tavrin uses
    std::vector<std::string> words; // the command and its arguments
    std::optional<std::string> language;
    bool help = false;
    bool version = false;
    std::optional<UserText> error;
};
SettingsToolArguments ReadSettingsToolArguments(const std::vector<std::string> &args);

// The deployer's command line for a settings file: shows values in clear and stores them
// scrambled, so header lines can be set without knowing the format. args excludes the program
// name. Returns the exit status: 0 done, 1 the file or the value could not be read or written,
// 2 wrong usage. Output that cannot be written is a failure too.
int RunSettingsTool(const SettingsToolArguments &arguments, std::ostream &out, std::ostream &err);
int RunSettingsTool(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);
