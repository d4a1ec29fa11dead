#pragma once

#include "keymap/KeyMap.h"

#include <cstddef>
#include <optional>
#include <string>

// A key map of a few hundred keys is some kilobytes; a file this large is none.
inline constexpr std::size_t kMaxKeyMapFileSize = 4 * 1024 * 1024;

// The file forms, through the one safe file layer (settings/SafeFile.h); both show what went
// wrong through the message sink. A map the loader would refuse is not saved.
std::optional<KeyMap> LoadKeyMapFile(const std::string &path, int keyCount);
bool SaveKeyMapFile(const std::string &path, const KeyMap &map, const std::string &header = {});
