#pragma once

#include <string>

// The folder where this user's programs keep their configuration, UTF-8: $XDG_CONFIG_HOME, else
// ~/.config; the roaming application data folder on Windows. Empty when the system names none.
std::string UserConfigFolder();
