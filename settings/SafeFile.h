#pragma once

#include "common/UserText.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>

// A settings file is a few hundred bytes; anything this large is not one.
inline constexpr std::size_t kMaxSettingsFileSize = 1024 * 1024;

// Why a settings file could not be read or written. nErrno is the system's error number for
// FileProblem::System.
enum class FileProblem { None, System, NotRegular, TooLarge, Utf16OrNul, TextAfterEnd };
struct FileError {
    FileProblem problem = FileProblem::None;
    int nErrno = 0;

    bool Failed() const { return problem != FileProblem::None; }
    bool IsMissing() const;
    // The user may not write there (permissions, a read-only file system): another file may do.
    bool IsRefusal() const;
};

// What went wrong with the file at strPath, as the user reads it: when reading it, or when saving
// values to it.
enum class FileAction { Read, Save };
UserText DescribeFileError(const FileError &error, FileAction action, const std::string &strPath);

// The file a chain of symbolic links ends at (itself when it is no link); it need not exist.
std::filesystem::path ResolveLinks(const std::filesystem::path &path);

// Whether the user may replace the file by permissions alone, without creating anything: its
// folder is writable and so is the file, when it exists. Follows links.
bool MayReplaceFile(const std::filesystem::path &path);

// Reads a whole regular file of at most kMaxSettingsFileSize bytes. Anything else (a FIFO, a
// device, a folder) is refused without reading it, so that nothing can block or run forever.
FileError ReadRegularFile(const std::filesystem::path &path, std::string &bytes);

// Gives the file new content so that it holds either the old or the new bytes, whatever happens:
// the new bytes go to a private temporary file of a unique name beside the file, get the old
// file's mode (and, where allowed, owner and group) and replace it by a rename. A link is
// followed: its target is replaced and the link stays. The folder stays locked from reading the
// current content to the rename, so two processes that rewrite the same file never interleave.
// change gets the current bytes (nullptr when the file does not exist yet) and fills the new
// ones; an error it returns cancels the rewrite. New bytes equal to the current ones leave the file
// untouched: nothing is written, and a read-only file is no error then.
using ContentChange = std::function<FileError(const std::string *current, std::string &next)>;
FileError RewriteFile(const std::filesystem::path &path, const ContentChange &change);
