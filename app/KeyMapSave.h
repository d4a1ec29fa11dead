#pragma once

#include "keymap/KeyMap.h"

#include <QString>

#include <functional>

class QWidget;

// The one way the window and its key table save a file a person chose.

// The file to save to, chosen in the save dialog, with suffix (".txt") added to a name that has
// none before the dialog asks whether to replace a file; empty when the user cancelled.
QString AskSavePath(QWidget *parent, const char *title, const char *filter, const QString &folder, const QString &suffix);

// The log line that names a file saved.
QString SavedLine(const QString &path);

// Saves map as a key map to path, ".txt" added to a name without a suffix, and logs the line
// that names the file. The path saved to; empty, after its message, when nothing was saved.
QString SaveKeyMapAndLog(QString path, const KeyMap &map, const std::function<void(const QString &)> &log);
