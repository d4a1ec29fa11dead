#pragma once

// What the POSIX and the Windows half of the file layer share; nothing outside settings/SafeFile*
// includes this.
#include "settings/SafeFile.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

inline FileError SystemError(int nErrno)
{
    return {FileProblem::System, nErrno};
}

inline FileError TooLarge(std::size_t maxBytes)
{
    return {FileProblem::TooLarge, 0, maxBytes};
}

inline std::filesystem::path FolderOf(const std::filesystem::path &file)
{
    return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

// How many times a save reads the file again after another program changed it under the save.
inline constexpr int kSaveAttempts = 5;
// How many links in a row are followed before a loop is assumed, as the system itself does.
inline constexpr int kMaxLinkHops = 40;

// The temporary files of the file named fileName start with this: "." + the name + ".tavrin-",
// the name cut at a character's start so that the prefix and kTemporaryRandomLength more bytes
// fit nameMax bytes. A name no user picks, so that clearing stale ones removes nothing of theirs.
inline constexpr std::size_t kTemporaryRandomLength = 6;
std::string TemporaryPrefix(std::string_view fileName, std::size_t nameMax);
// Whether a folder entry is one of those temporary files: the prefix and six letters or digits.
bool IsTemporaryName(std::string_view name, std::string_view prefix);
