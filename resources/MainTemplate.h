#pragma once

#include "common/UserText.h"
#include "resources/DialogTemplate.h"

#include <string>

// Dialog 102: the main window.
const DialogTemplate &MainDlgTemplate();
// Dialog 100: the about box.
const DialogTemplate &AboutDlgTemplate();

// String 101: the about item added to the window menu.
inline constexpr const char *kAboutMenuText = QT_TRANSLATE_NOOP("Tavrin", "关于 Tavrin V1.0(&A)...");
// Command identifier of the about item.
inline constexpr int kIdmAboutBox = 16;

// Icon 128, the application icon, at the sizes a window shows it (title bar, task bar, window
// switcher); the window system may ask for each, so the large ones are left to the desktop
// entry's icon theme.
inline constexpr const char *kAppIconPrefix = ":/icons/tavrin-";
inline constexpr int kAppIconSizes[] = {16, 24, 32, 48, 64};
