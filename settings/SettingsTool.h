#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// The deployer's command line for a settings file: shows values in clear and stores them
// scrambled, so header lines can be set without knowing the format. args excludes the program
// name. Returns the exit status: 0 done, 1 the file or the value could not be read or written,
// 2 wrong usage.
int RunSettingsTool(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);
