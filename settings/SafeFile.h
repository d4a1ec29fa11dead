#pragma once

#include "common/UserText.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The one file layer: every file Tavrin reads, saves or appends to goes through these functions.
//
// Reading takes regular files only, opens without blocking and stops at a size limit, so that a
// FIFO, a device or an endless file can neither hang the program nor fill its memory. Saving
// writes a private temporary file of a unique name beside the file, flushes it to the disk and
// renames it over the file, so that the file holds either its old or its new bytes whatever
// happens. A link is followed and stays a link; owner, group and mode stay as they were, or the
// save is refused. In a world-writable sticky folder (/tmp) a link is followed, and a file saved
// or appended to, only when it belongs to the caller or to the folder's owner, as the kernel's
// protected_symlinks and protected_regular rules do whatever the system's own setting.

// A settings file is a few hundred bytes; anything this large is not one.
inline constexpr std::size_t kMaxSettingsFileSize = 1024 * 1024;

// Why a file could not be read or written. nErrno is the system's error number for
// FileProblem::System, nLimit the size limit for FileProblem::TooLarge.
enum class FileProblem {
    None,
    System,
    NotRegular,
    TooLarge,
    Utf16OrNul,       // settings: what the INI lines cannot keep
    TextAfterEnd,     // settings: text after the end-of-file byte 0x1A
    UntrustedLink,    // a link another user planted in a shared sticky folder
    ForeignFile,      // another user's file in a shared sticky folder, which is not written
    OwnerNotKept,     // the saved file would lose its owner, group or mode
    ChangedMeanwhile, // another program kept changing the file while it was being saved
    Busy,             // another save held the folder's lock: try again
};
// What a save that went through leaves the user to know.
enum class FileWarning {
    None,
    OtherLinksKeepOldContent, // the file had other hard links: they still hold the old bytes
};
struct FileError {
    FileProblem problem = FileProblem::None;
    int nErrno = 0;
    std::size_t nLimit = 0;
    FileWarning warning = FileWarning::None; // of a save that did not fail

    bool Failed() const { return problem != FileProblem::None; }
    bool IsMissing() const;
    // The user may not write there (permissions, a read-only file system, a file that is not
    // theirs to give away): another file may do.
    bool IsRefusal() const;
};

// Why the file failed, as a clause for any message about any file, e.g. "not a regular file".
// The system's own words (strerror) stand for FileProblem::System.
UserText FileErrorReason(const FileError &error);

// What went wrong with the settings file at strPath, as the user reads it: when reading it, or
// when saving values to it.
enum class FileAction { Read, Save };
UserText DescribeFileError(const FileError &error, FileAction action, const std::string &strPath);

// What to tell of a save of strPath that went through with a warning; nullopt without one.
std::optional<UserText> DescribeFileWarning(const FileError &error, const std::string &strPath);

// The file a chain of symbolic links ends at (itself when it is no link); it need not exist.
// Fails with UntrustedLink at a link the sticky-folder rule above does not follow.
FileError ResolveLinks(const std::filesystem::path &path, std::filesystem::path &resolved);

// Whether the user may replace the file by permissions alone, without creating anything: its
// folder is writable and so is the file, when it exists. Follows links.
bool MayReplaceFile(const std::filesystem::path &path);

// What tells one version of a file from the next without reading it: a writer changes at least
// one of these (the same the save's own check of other writers looks at).
struct FileStamp {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    long long size = 0;
    long long modifiedNs = 0;
    long long changedNs = 0;
    bool operator==(const FileStamp &) const = default;
};

// The stamp of the regular file path names, links followed; none for anything else, and none
// where the platform's half knows no stamps (then every save reads the file under the lock).
std::optional<FileStamp> StampOf(const std::filesystem::path &path);

// Reads a whole regular file of at most maxBytes bytes (TooLarge beyond).
FileError ReadRegularFile(const std::filesystem::path &path, std::string &bytes,
                          std::size_t maxBytes = kMaxSettingsFileSize);

// Gives the file new content as described above. change gets the current bytes (nullptr when the
// file does not exist yet) and fills the new ones; an error it returns cancels the save. New
// content over maxBytes, which a later read would refuse, is refused before anything is replaced.
//
// Other writers: the folder stays locked from reading the current content to the rename, so two
// Tavrin processes never interleave. The lock is waited for kLockWaitMs at most, so that the
// window never hangs on it: Busy then, and the user tries again. A program that does not take the lock is noticed when the
// file's device, inode, size or modification time changed between the read and the rename: change
// is then called again with the new content, a few times, before ChangedMeanwhile is returned.
// change must therefore apply its edit to whatever it is given. New bytes equal to the current
// ones leave the file untouched: nothing is written, and a read-only file is no error then. A new file gets the mode any
// program would give it (0666 less the umask).
//
// The temporary file is ".NAME.tavrin-" and six letters or digits, NAME cut so that the whole
// fits the longest name the folder takes. Those of a save that was killed are removed by a later
// save that writes the same file once they are older than kStaleTemporaryAge and belong to the caller; no
// other file is. The file's other hard links keep the old bytes: the result warns of them.
using ContentChange = std::function<FileError(const std::string *current, std::string &next)>;
FileError RewriteFile(const std::filesystem::path &path, const ContentChange &change,
                      std::size_t maxBytes = kMaxSettingsFileSize);
inline constexpr int kStaleTemporaryAgeSeconds = 10 * 60;
inline constexpr int kLockWaitMs = 200;

// Replaces the whole file by bytes the same safe way (key maps, exported sheets).
FileError SaveWholeFile(const std::filesystem::path &path, std::string_view bytes, std::size_t maxBytes);

// Appends bytes (a log's line) to a regular file in one write and flushes it to the disk before
// returning; creates the file with mode 0644 less the umask. A link is followed by the rule above;
// a FIFO, a device or a folder is refused without writing.
FileError AppendToFile(const std::filesystem::path &path, std::string_view bytes);
// The same for a log of lines, which keeps whole lines: a last line left without its end (a crash)
// is ended first, and a write that fails part-way (a full disk) is cut back. An empty line only
// checks that the file can be appended to, creating it, as a log is checked before its first line.
FileError AppendLineToFile(const std::filesystem::path &path, std::string_view line);
