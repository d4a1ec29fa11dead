// The file layer on Linux and the other POSIX systems.
#include "settings/SafeFile.h"

#include "settings/SafeFileParts.h"

#include <cerrno>
#include <climits>
#include <system_error>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
// Closes on every way out.
class CFd {
public:
    explicit CFd(int fd = -1) : m_fd(fd) {}
    ~CFd() { Reset(); }
    CFd(const CFd &) = delete;
    CFd &operator=(const CFd &) = delete;
    int Get() const { return m_fd; }
    void Reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd;
};

// The error of the call that failed, taken there: a later call may change errno.
FileError WriteAll(int fd, std::string_view bytes)
{
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return SystemError(errno);
        if (written == 0) // sets no errno
            return SystemError(EIO);
        done += static_cast<std::size_t>(written);
    }
    return {};
}

FileError WriteAndFlush(int fd, std::string_view bytes)
{
    if (const FileError error = WriteAll(fd, bytes); error.Failed())
        return error;
    return ::fsync(fd) == 0 ? FileError{} : SystemError(errno);
}

// The kernel's protected_symlinks and protected_regular rules: in a sticky folder anyone may
// write, a link is followed and a file written only when it belongs to the caller or to the
// folder's owner. Anyone else's may have been planted there for the caller to write through.
bool MayTrust(const struct stat &folder, uid_t owner)
{
    const bool shared = (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
    return !shared || owner == ::geteuid() || owner == folder.st_uid;
}

bool MayTrustIn(const fs::path &folder, uid_t owner)
{
    struct stat info {};
    return ::stat(folder.c_str(), &info) == 0 && MayTrust(info, owner);
}

// An advisory lock on the folder rather than on the file, whose inode each rewrite replaces.
// Waited for a short while only: the window calls this on its own thread. Where the file system
// cannot lock (some network shares), the rewrite still is atomic and goes on.
FileError LockFolder(int folderFd)
{
    constexpr int kStepMs = 2;
    for (int waited = 0;; waited += kStepMs) {
        if (::flock(folderFd, LOCK_EX | LOCK_NB) == 0)
            return {};
        if (errno != EWOULDBLOCK && errno != EINTR)
            return {};
        if (waited >= kLockWaitMs)
            return {FileProblem::Busy};
        ::usleep(kStepMs * 1000);
    }
}

// The file as a save read it; any other writer changes at least one of these.
struct Identity {
    bool bExists = false;
    struct stat info {};
};

bool SameFile(const Identity &read, const Identity &now)
{
    if (read.bExists != now.bExists)
        return false;
    if (!read.bExists)
        return true;
    const struct stat &a = read.info;
    const struct stat &b = now.info;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
           a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

FileError CurrentIdentity(const fs::path &target, Identity &identity)
{
    identity.bExists = ::lstat(target.c_str(), &identity.info) == 0;
    return identity.bExists || errno == ENOENT ? FileError{} : SystemError(errno);
}

// Reads an already resolved file without following a link planted there meanwhile; info is the
// file's state before the first byte was read.
FileError ReadResolved(const fs::path &target, std::string &bytes, std::size_t maxBytes, struct stat &info)
{
    // Non-blocking, so that opening a FIFO without a writer returns at once.
    const CFd fd(::open(target.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW));
    if (fd.Get() < 0)
        return SystemError(errno);
    if (::fstat(fd.Get(), &info) != 0)
        return SystemError(errno);
    if (!S_ISREG(info.st_mode))
        return {FileProblem::NotRegular};
    if (static_cast<std::size_t>(info.st_size) > maxBytes)
        return TooLarge(maxBytes);
    bytes.clear();
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return SystemError(errno);
        if (got == 0)
            return {};
        bytes.append(buffer, static_cast<std::size_t>(got));
        if (bytes.size() > maxBytes)
            return TooLarge(maxBytes);
    }
}

mode_t NewFileMode()
{
    // Only the umask call can tell the umask; the other threads meanwhile create files that only
    // their owner may read, never too open ones.
    const mode_t mask = ::umask(0077);
    ::umask(mask);
    return 0666 & ~mask;
}

// Owner and group first: changing them may clear the set-id bits the mode then restores. A file
// that cannot keep all three is not saved: it would become the saver's, or readable by others.
FileError TakeOverAttributes(int fd, const struct stat *old)
{
    if (!old)
        return ::fchmod(fd, NewFileMode()) == 0 ? FileError{} : SystemError(errno);
    // Where the owner cannot be given back the group may be; the check below tells what was kept.
    [[maybe_unused]] const bool owned =
        ::fchown(fd, old->st_uid, old->st_gid) == 0 || ::fchown(fd, static_cast<uid_t>(-1), old->st_gid) == 0;
    ::fchmod(fd, old->st_mode & 07777);
    struct stat now {};
    if (::fstat(fd, &now) != 0)
        return SystemError(errno);
    if (now.st_uid != old->st_uid || now.st_gid != old->st_gid || (now.st_mode & 07777) != (old->st_mode & 07777))
        return {FileProblem::OwnerNotKept};
    return {};
}

std::string TemporaryPrefixIn(int folderFd, const fs::path &target)
{
    const long nameMax = ::fpathconf(folderFd, _PC_NAME_MAX);
    return TemporaryPrefix(target.filename().string(), nameMax > 0 ? static_cast<std::size_t>(nameMax) : NAME_MAX);
}

// Removes what killed saves left: the caller's own old temporary files of this file, never a
// link, a folder or another user's file. Runs under the folder's lock, so no running save's file
// is touched unless it took longer than the age.
void RemoveStaleTemporaries(int folderFd, const std::string &prefix)
{
    const int listFd = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listFd < 0)
        return;
    DIR *folder = ::fdopendir(listFd);
    if (!folder) {
        ::close(listFd);
        return;
    }
    struct timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    while (const dirent *entry = ::readdir(folder)) {
        if (!IsTemporaryName(entry->d_name, prefix))
            continue;
        struct stat info {};
        if (::fstatat(folderFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode) &&
            info.st_uid == ::geteuid() && now.tv_sec - info.st_mtim.tv_sec > kStaleTemporaryAgeSeconds)
            ::unlinkat(folderFd, entry->d_name, 0);
    }
    ::closedir(folder);
}

// Writes the bytes to a new private file beside target and renames it over target, unless target
// is no longer the file that was read.
FileError ReplaceWith(int folderFd, const fs::path &target, const std::string &prefix, const Identity &read,
                      const std::string &bytes, bool &bChanged)
{
    std::string temp = (FolderOf(target) / (prefix + std::string(kTemporaryRandomLength, 'X'))).string();
    const CFd fd(::mkostemp(temp.data(), O_CLOEXEC));
    if (fd.Get() < 0)
        return SystemError(errno);
    FileError error = WriteAndFlush(fd.Get(), bytes);
    if (!error.Failed())
        error = TakeOverAttributes(fd.Get(), read.bExists ? &read.info : nullptr);
    Identity now;
    if (!error.Failed())
        error = CurrentIdentity(target, now);
    bChanged = !error.Failed() && !SameFile(read, now);
    if (!error.Failed() && !bChanged && ::rename(temp.c_str(), target.c_str()) != 0)
        error = SystemError(errno);
    if (error.Failed() || bChanged) {
        ::unlink(temp.c_str());
        return error;
    }
    ::fsync(folderFd);
    return {};
}

// What a save has to say of the file it replaced.
FileError Replaced(const Identity &read)
{
    FileError done;
    if (read.bExists && read.info.st_nlink > 1)
        done.warning = FileWarning::OtherLinksKeepOldContent;
    return done;
}
} // namespace

FileError ResolveLinks(const fs::path &path, fs::path &resolved)
{
    resolved = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(resolved.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return {};
        if (!MayTrustIn(FolderOf(resolved), info.st_uid))
            return {FileProblem::UntrustedLink};
        std::error_code ec;
        const fs::path link = fs::read_symlink(resolved, ec);
        if (ec)
            return SystemError(ec.value());
        resolved = link.is_absolute() ? link : FolderOf(resolved) / link;
    }
    return SystemError(ELOOP);
}

bool MayReplaceFile(const fs::path &path)
{
    fs::path target;
    if (ResolveLinks(path, target).Failed())
        return false;
    if (::access(FolderOf(target).c_str(), W_OK | X_OK) != 0)
        return false;
    struct stat info {};
    if (::lstat(target.c_str(), &info) != 0)
        return errno == ENOENT;
    return MayTrustIn(FolderOf(target), info.st_uid) && ::access(target.c_str(), W_OK) == 0;
}

std::optional<FileStamp> StampOf(const fs::path &path)
{
    fs::path target;
    struct stat info {};
    if (ResolveLinks(path, target).Failed() || ::lstat(target.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    const auto ns = [](const timespec &time) { return time.tv_sec * 1000000000LL + time.tv_nsec; };
    return FileStamp{info.st_dev, info.st_ino, info.st_size, ns(info.st_mtim), ns(info.st_ctim)};
}

FileError ReadRegularFile(const fs::path &path, std::string &bytes, std::size_t maxBytes)
{
    fs::path target;
    if (const FileError untrusted = ResolveLinks(path, target); untrusted.Failed())
        return untrusted;
    struct stat info {};
    return ReadResolved(target, bytes, maxBytes, info);
}

FileError RewriteFile(const fs::path &path, const ContentChange &change, std::size_t maxBytes)
{
    fs::path target;
    if (const FileError untrusted = ResolveLinks(path, target); untrusted.Failed())
        return untrusted;
    const CFd folder(::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() < 0)
        return SystemError(errno);
    struct stat folderInfo {};
    if (::fstat(folder.Get(), &folderInfo) != 0)
        return SystemError(errno);
    if (const FileError busy = LockFolder(folder.Get()); busy.Failed())
        return busy;
    const std::string prefix = TemporaryPrefixIn(folder.Get(), target);
    // Only a save that writes looks through the folder: most saves find the file as they would
    // leave it (every close of the window saves the parameters).
    bool bCleared = false;

    for (int attempt = 0; attempt < kSaveAttempts; ++attempt) {
        std::string current;
        Identity read;
        const FileError error = ReadResolved(target, current, maxBytes, read.info);
        if (error.Failed() && !error.IsMissing())
            return error;
        read.bExists = !error.Failed();
        if (read.bExists && !MayTrust(folderInfo, read.info.st_uid))
            return {FileProblem::ForeignFile};
        // A rename would replace even a file its owner made read-only.
        const int nReadOnly = read.bExists && ::access(target.c_str(), W_OK) != 0 ? errno : 0;
        std::string next;
        if (const FileError refused = change(read.bExists ? &current : nullptr, next); refused.Failed())
            return refused;
        if (read.bExists && next == current)
            return {};
        if (nReadOnly != 0)
            return SystemError(nReadOnly);
        if (next.size() > maxBytes)
            return TooLarge(maxBytes);
        if (!std::exchange(bCleared, true))
            RemoveStaleTemporaries(folder.Get(), prefix);
        bool bChanged = false;
        if (const FileError replaced = ReplaceWith(folder.Get(), target, prefix, read, next, bChanged);
            replaced.Failed())
            return replaced;
        if (!bChanged)
            return Replaced(read);
    }
    return {FileProblem::ChangedMeanwhile};
}

namespace {
// Whether the file's last byte, at size - 1, ends a line (an empty file does).
bool EndsWithLine(const fs::path &target, off_t size)
{
    const CFd fd(::open(target.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    char last = '\n';
    return size == 0 || fd.Get() < 0 || ::pread(fd.Get(), &last, 1, size - 1) != 1 || last == '\n';
}

// Appends a line so that the file keeps whole lines: a last line left without its end (a crash, a
// full disk) is ended first, and a write that does not go through whole is cut back.
FileError AppendWholeLine(int fd, const fs::path &target, off_t size, std::string_view line)
{
    const std::string bytes = (EndsWithLine(target, size) ? "" : "\n") + std::string(line);
    const FileError error = WriteAndFlush(fd, bytes);
    if (error.Failed() && ::ftruncate(fd, size) == 0)
        ::fsync(fd);
    return error;
}

FileError AppendTo(const fs::path &path, std::string_view bytes, bool wholeLines)
{
    fs::path target;
    if (const FileError untrusted = ResolveLinks(path, target); untrusted.Failed())
        return untrusted;
    // Non-blocking: a FIFO without a reader fails at once instead of waiting for one.
    const CFd fd(::open(target.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY,
                        0644));
    if (fd.Get() < 0)
        return SystemError(errno);
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0)
        return SystemError(errno);
    if (!S_ISREG(info.st_mode))
        return {FileProblem::NotRegular};
    if (!MayTrustIn(FolderOf(target), info.st_uid))
        return {FileProblem::ForeignFile};
    if (!wholeLines)
        return WriteAndFlush(fd.Get(), bytes);
    return bytes.empty() ? FileError{} : AppendWholeLine(fd.Get(), target, info.st_size, bytes);
}
} // namespace

FileError AppendToFile(const fs::path &path, std::string_view bytes)
{
    return AppendTo(path, bytes, false);
}

FileError AppendLineToFile(const fs::path &path, std::string_view line)
{
    return AppendTo(path, line, true);
}
