#pragma once

#include <QIcon>

// Icon 128, the application icon, with every size it ships in; a size is decoded when a window
// first asks for it, once for all windows.
QIcon AppIcon();
