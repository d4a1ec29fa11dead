// Where the GUI draws through an X11 or Wayland server: a display only where one is named.
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
    return IsSet("QT_QPA_PLATFORM") || IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
}
