#include "settings/SafeFile.h"

#include "settings/Utf8Path.h"

#include <cerrno>
#include <cstring>
#include <system_error>

#ifdef _WIN32
#include <cstdio>
#include <fstream>
#include <random>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {
FileError SystemError(int nErrno)
{
    return {FileProblem::System, nErrno};
}

FileError TooLarge(std::size_t maxBytes)
{
    return {FileProblem::TooLarge, 0, maxBytes};
}

fs::path FolderOf(const fs::path &file)
{
    return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

// How many times a save reads the file again after another program changed it under the save.
constexpr int kSaveAttempts = 5;

#ifndef _WIN32
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

bool WriteAll(int fd, std::string_view bytes)
{
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// The kernel's protected_symlinks rule: in a sticky folder anyone may write, a link is followed
// only when it belongs to the caller or to the folder's owner.
bool MayFollowLink(const fs::path &link, const struct stat &linkInfo)
{
    struct stat folder {};
    if (::stat(FolderOf(link).c_str(), &folder) != 0)
        return false;
    const bool shared = (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
    return !shared || linkInfo.st_uid == ::geteuid() || linkInfo.st_uid == folder.st_uid;
}

// An advisory lock on the folder rather than on the file, whose inode each rewrite replaces.
// Anyone who may read a shared folder may lock it too, so the wait is bounded: past it the save
// goes on unlocked, still guarded by the check before the rename. Where the file system cannot
// lock (some network shares), the rewrite still is atomic.
void LockFolder(int folderFd)
{
    constexpr int kWaitMs = 5000;
    constexpr int kStepMs = 10;
    for (int waited = 0; waited < kWaitMs; waited += kStepMs) {
        if (::flock(folderFd, LOCK_EX | LOCK_NB) == 0 || (errno != EWOULDBLOCK && errno != EINTR))
            return;
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

// The name pattern of the temporary files: "." + the file's name + "." + six letters or digits.
std::string TemporaryPrefix(const fs::path &target)
{
    return "." + target.filename().string() + ".";
}

bool IsTemporaryName(std::string_view name, std::string_view prefix)
{
    if (name.size() != prefix.size() + 6 || !name.starts_with(prefix))
        return false;
    for (const char c : name.substr(prefix.size())) {
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

// Removes what killed saves left: the caller's own old temporary files of this file, never a
// link, a folder or another user's file. Runs under the folder's lock, so no running save's file
// is touched unless it took longer than the age.
void RemoveStaleTemporaries(int folderFd, const fs::path &target)
{
    const int listFd = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listFd < 0)
        return;
    DIR *folder = ::fdopendir(listFd);
    if (!folder) {
        ::close(listFd);
        return;
    }
    const std::string prefix = TemporaryPrefix(target);
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
FileError ReplaceWith(int folderFd, const fs::path &target, const Identity &read, const std::string &bytes,
                      bool &bChanged)
{
    std::string temp = (FolderOf(target) / (TemporaryPrefix(target) + "XXXXXX")).string();
    const CFd fd(::mkostemp(temp.data(), O_CLOEXEC));
    if (fd.Get() < 0)
        return SystemError(errno);
    FileError error;
    if (!WriteAll(fd.Get(), bytes) || ::fsync(fd.Get()) != 0)
        error = SystemError(errno ? errno : EIO);
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
#endif
} // namespace

bool FileError::IsMissing() const
{
    return problem == FileProblem::System && nErrno == ENOENT;
}

bool FileError::IsRefusal() const
{
    return problem == FileProblem::OwnerNotKept || problem == FileProblem::UntrustedLink ||
           (problem == FileProblem::System && (nErrno == EACCES || nErrno == EPERM || nErrno == EROFS));
}

UserText FileErrorReason(const FileError &error)
{
    switch (error.problem) {
    case FileProblem::None:
    case FileProblem::System:
        break;
    case FileProblem::NotRegular:
        return {QT_TRANSLATE_NOOP("Tavrin", "不是普通文件"), {}};
    case FileProblem::TooLarge:
        return {QT_TRANSLATE_NOOP("Tavrin", "文件超过 %1 字节的上限"), {std::to_string(error.nLimit)}};
    case FileProblem::Utf16OrNul:
        return {QT_TRANSLATE_NOOP("Tavrin", "文件是 UTF-16 编码或含有零字节"), {}};
    case FileProblem::TextAfterEnd:
        return {QT_TRANSLATE_NOOP("Tavrin", "文件在结束符 0x1A 之后还有内容"), {}};
    case FileProblem::UntrustedLink:
        return {QT_TRANSLATE_NOOP("Tavrin", "这是其他用户放在共享文件夹中的链接，不会跟随"), {}};
    case FileProblem::OwnerNotKept:
        return {QT_TRANSLATE_NOOP("Tavrin", "无法保持文件原有的所有者、组和权限，没有保存"), {}};
    case FileProblem::ChangedMeanwhile:
        return {QT_TRANSLATE_NOOP("Tavrin", "保存期间其他程序一再修改这个文件，没有保存"), {}};
    }
    return {"%1", {std::strerror(error.nErrno)}};
}

UserText DescribeFileError(const FileError &error, FileAction action, const std::string &strPath)
{
    struct Texts {
        const char *pszRead;
        const char *pszSave;
    };
    // %1 the file, %2 the reason: the system's own words for an error, or FileErrorReason's.
    static const Texts refused = {QT_TRANSLATE_NOOP("Tavrin", "没有权限读取配置文件：%1"),
                                  QT_TRANSLATE_NOOP("Tavrin", "参数未保存，没有权限写入：%1")};
    static const Texts system = {QT_TRANSLATE_NOOP("Tavrin", "无法读取配置文件（%2）：%1"),
                                 QT_TRANSLATE_NOOP("Tavrin", "参数未保存（%2）：%1")};
    static const Texts notRegular = {QT_TRANSLATE_NOOP("Tavrin", "配置文件不是普通文件：%1"),
                                     QT_TRANSLATE_NOOP("Tavrin", "参数未保存，配置文件不是普通文件：%1")};
    static const Texts tooLarge = {QT_TRANSLATE_NOOP("Tavrin", "配置文件超过 1 MiB：%1"),
                                   QT_TRANSLATE_NOOP("Tavrin", "参数未保存，配置文件超过 1 MiB：%1")};
    static const Texts utf16 = {QT_TRANSLATE_NOOP("Tavrin", "配置文件是 UTF-16 编码或含有零字节：%1"),
                                QT_TRANSLATE_NOOP("Tavrin", "参数未保存，配置文件是 UTF-16 编码或含有零字节：%1")};
    static const Texts afterEnd = {QT_TRANSLATE_NOOP("Tavrin", "配置文件在结束符 0x1A 之后还有内容：%1"),
                                   QT_TRANSLATE_NOOP("Tavrin", "参数未保存，配置文件在结束符 0x1A 之后还有内容：%1")};
    const Texts *texts = &system;
    switch (error.problem) {
    case FileProblem::None:
    case FileProblem::System:
        texts = error.IsRefusal() ? &refused : &system;
        break;
    case FileProblem::UntrustedLink:
    case FileProblem::OwnerNotKept:
    case FileProblem::ChangedMeanwhile:
        break;
    case FileProblem::NotRegular:
        texts = &notRegular;
        break;
    case FileProblem::TooLarge:
        texts = &tooLarge;
        break;
    case FileProblem::Utf16OrNul:
        texts = &utf16;
        break;
    case FileProblem::TextAfterEnd:
        texts = &afterEnd;
        break;
    }
    return {action == FileAction::Read ? texts->pszRead : texts->pszSave,
            {QuotedInput(strPath), TranslateText(FileErrorReason(error))}};
}

FileError SaveWholeFile(const fs::path &path, std::string_view bytes, std::size_t maxBytes)
{
    return RewriteFile(
        path,
        [&](const std::string *, std::string &next) {
            next.assign(bytes);
            return FileError{};
        },
        maxBytes);
}

#ifndef _WIN32
FileError ResolveLinks(const fs::path &path, fs::path &resolved)
{
    resolved = path;
    // As many hops as the system itself follows before it gives up on a loop.
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info {};
        if (::lstat(resolved.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return {};
        if (!MayFollowLink(resolved, info))
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
    return ::access(target.c_str(), W_OK) == 0 || errno == ENOENT;
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
    LockFolder(folder.Get());
    RemoveStaleTemporaries(folder.Get(), target);

    for (int attempt = 0; attempt < kSaveAttempts; ++attempt) {
        std::string current;
        Identity read;
        const FileError error = ReadResolved(target, current, maxBytes, read.info);
        if (error.Failed() && !error.IsMissing())
            return error;
        read.bExists = !error.Failed();
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
        bool bChanged = false;
        if (const FileError replaced = ReplaceWith(folder.Get(), target, read, next, bChanged);
            replaced.Failed() || !bChanged)
            return replaced;
    }
    return {FileProblem::ChangedMeanwhile};
}

FileError AppendToFile(const fs::path &path, std::string_view bytes)
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
    if (!WriteAll(fd.Get(), bytes) || ::fsync(fd.Get()) != 0)
        return SystemError(errno ? errno : EIO);
    return {};
}
#else
// Windows keeps no owner or mode bits that matter here, has no sticky folders and no advisory
// folder lock; the rename still replaces the file in one step.
FileError ResolveLinks(const fs::path &path, fs::path &resolved)
{
    resolved = path;
    std::error_code ec;
    for (int hop = 0; hop < 40 && fs::is_symlink(fs::symlink_status(resolved, ec)); ++hop) {
        const fs::path link = fs::read_symlink(resolved, ec);
        if (ec)
            return SystemError(ec.value());
        resolved = link.is_absolute() ? link : FolderOf(resolved) / link;
    }
    return {};
}

bool MayReplaceFile(const fs::path &path)
{
    std::error_code ec;
    fs::path target;
    ResolveLinks(path, target);
    return !fs::exists(target, ec) ||
           (fs::status(target, ec).permissions() & fs::perms::owner_write) != fs::perms::none;
}

FileError ReadRegularFile(const fs::path &path, std::string &bytes, std::size_t maxBytes)
{
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status))
        return SystemError(ENOENT);
    if (!fs::is_regular_file(status))
        return {FileProblem::NotRegular};
    if (fs::file_size(path, ec) > maxBytes)
        return TooLarge(maxBytes);
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return SystemError(EACCES);
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return file.bad() ? SystemError(EIO) : FileError{};
}

FileError RewriteFile(const fs::path &path, const ContentChange &change, std::size_t maxBytes)
{
    fs::path target;
    ResolveLinks(path, target);
    std::string current;
    const FileError read = ReadRegularFile(target, current, maxBytes);
    if (read.Failed() && !read.IsMissing())
        return read;
    std::string next;
    if (const FileError refused = change(read.Failed() ? nullptr : &current, next); refused.Failed())
        return refused;
    if (!read.Failed() && next == current)
        return {};
    if (!read.Failed() && !MayReplaceFile(target))
        return SystemError(EACCES);
    if (next.size() > maxBytes)
        return TooLarge(maxBytes);
    const fs::path temp = FolderOf(target) / ("." + target.filename().string() + "." + std::to_string(std::random_device{}()));
    // "x": created here or not at all, never an existing file written through.
    std::FILE *file = _wfopen(temp.c_str(), L"wbx");
    if (!file)
        return SystemError(errno);
    const bool bWritten = std::fwrite(next.data(), 1, next.size(), file) == next.size();
    std::error_code ec;
    if (std::fclose(file) == 0 && bWritten)
        fs::rename(temp, target, ec);
    if (!bWritten || ec) {
        fs::remove(temp, ec);
        return SystemError(EIO);
    }
    return {};
}

FileError AppendToFile(const fs::path &path, std::string_view bytes)
{
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (fs::exists(status) && !fs::is_regular_file(status))
        return {FileProblem::NotRegular};
    std::FILE *file = _wfopen(path.c_str(), L"ab");
    if (!file)
        return SystemError(errno);
    const bool bWritten = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && bWritten ? FileError{} : SystemError(EIO);
}
#endif
