#pragma once

#include <QIcon>

// Icon 128, the application icon, with every size it ships in.
QIcon AppIcon();
