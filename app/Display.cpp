#include "app/Display.h"

#include <cstdlib>

namespace {
bool IsSet(const char *name)
{
    const char *value = std::getenv(name);
    return value && *value;
}
} // namespace

bool HasDisplay()
{
#if defined(__linux__) || defined(__FreeBSD__)
    return IsSet("QT_QPA_PLATFORM") || IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

const char *NoDisplayHint()
{
    return "Tavrin needs a graphical display, and none is set (DISPLAY and WAYLAND_DISPLAY are empty); "
           "start it from a desktop session, or without one as: xvfb-run -a build/bin/tavrin";
}
