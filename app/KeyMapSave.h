#pragma once

#include "keymap/KeyMap.h"

#include <QString>

#include <functional>

// The one way the window and its key table save a key map a person chose (app/FileDialog.h asks
// for the file).

// The suffix a key-map file is saved with where its name has none.
inline constexpr const char *kKeyMapSuffix = ".txt";

// The log line that names a file saved.
QString SavedLine(const QString &path);

// Saves map as a key map to path, ".txt" added to a name without a suffix, and logs the line
// that names the file. The path saved to; empty, after its message, when nothing was saved.
QString SaveKeyMapAndLog(QString path, const KeyMap &map, const std::function<void(const QString &)> &log);
