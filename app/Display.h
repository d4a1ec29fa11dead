#pragma once

#include "common/UserText.h"

#include <string>

// True when a Qt GUI can start here: a platform was chosen explicitly, or an X11 or Wayland
// display is set, or the system needs none (Windows).
bool HasDisplay();

// The one sentence printed instead of a Qt abort when there is no display, naming the program as
// it was started (its argv[0]) in the command that runs it on a virtual display.
UserText NoDisplayHint(const std::string &program);
