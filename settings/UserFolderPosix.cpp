#include "settings/UserFolder.h"

#include <cstdlib>

std::string UserConfigFolder()
{
    // The XDG rules ignore a relative $XDG_CONFIG_HOME.
    const char *configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome && configHome[0] == '/')
        return configHome;
    const char *home = std::getenv("HOME");
    return home && *home ? std::string(home) + "/.config" : std::string();
}
