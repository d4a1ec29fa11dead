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
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {
FileError SystemError(int nErrno)
{
    return {FileProblem::System, nErrno};
}

fs::path FolderOf(const fs::path &file)
{
    return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

#ifndef _WIN32
// Closes on every way out.
class CFd {
public:
    explicit CFd(int fd = -1) : m_fd(fd) {}
    ~CFd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    CFd(const CFd &) = delete;
    CFd &operator=(const CFd &) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

bool WriteAll(int fd, const std::string &bytes)
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

// An advisory lock on the folder rather than on the file, whose inode each rewrite replaces.
// Where the file system cannot lock (some network shares), the rewrite still is atomic.
void LockFolder(int folderFd)
{
    while (::flock(folderFd, LOCK_EX) != 0 && errno == EINTR) {
    }
}

// Owner and group first: changing them may clear the set-id bits the mode then restores.
void TakeOverAttributes(int fd, const struct stat &old)
{
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 && ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
        // Not allowed to give the file away: it stays the saver's, with the saver's group.
    }
    ::fchmod(fd, old.st_mode & 07777);
}

// Writes the bytes to a new private file beside target and renames it over target.
FileError ReplaceWith(int folderFd, const fs::path &target, const struct stat *old, const std::string &bytes)
{
    std::string temp = (FolderOf(target) / ("." + target.filename().string() + ".XXXXXX")).string();
    const CFd fd(::mkostemp(temp.data(), O_CLOEXEC));
    if (fd.Get() < 0)
        return SystemError(errno);
    int nError = 0;
    if (!WriteAll(fd.Get(), bytes) || ::fsync(fd.Get()) != 0)
        nError = errno ? errno : EIO;
    if (nError == 0 && old)
        TakeOverAttributes(fd.Get(), *old);
    if (nError == 0 && ::rename(temp.c_str(), target.c_str()) != 0)
        nError = errno;
    if (nError != 0) {
        ::unlink(temp.c_str());
        return SystemError(nError);
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
    return problem == FileProblem::System && (nErrno == EACCES || nErrno == EPERM || nErrno == EROFS);
}

UserText DescribeFileError(const FileError &error, FileAction action, const std::string &strPath)
{
    struct Texts {
        const char *pszRead;
        const char *pszSave;
    };
    // %1 the file, %2 the system's own words for an error.
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
    return {action == FileAction::Read ? texts->pszRead : texts->pszSave, {strPath, std::strerror(error.nErrno)}};
}

fs::path ResolveLinks(const fs::path &path)
{
    fs::path resolved = path;
    std::error_code ec;
    // As many hops as the system itself follows before it gives up on a loop.
    for (int hop = 0; hop < 40 && fs::is_symlink(fs::symlink_status(resolved, ec)); ++hop) {
        const fs::path link = fs::read_symlink(resolved, ec);
        if (ec)
            break;
        resolved = link.is_absolute() ? link : FolderOf(resolved) / link;
    }
    return resolved;
}

#ifndef _WIN32
bool MayReplaceFile(const fs::path &path)
{
    const fs::path target = ResolveLinks(path);
    if (::access(FolderOf(target).c_str(), W_OK | X_OK) != 0)
        return false;
    return ::access(target.c_str(), W_OK) == 0 || errno == ENOENT;
}

FileError ReadRegularFile(const fs::path &path, std::string &bytes)
{
    // Non-blocking, so that opening a FIFO without a writer returns at once.
    const CFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.Get() < 0)
        return SystemError(errno);
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0)
        return SystemError(errno);
    if (!S_ISREG(info.st_mode))
        return {FileProblem::NotRegular};
    bytes.clear();
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return SystemError(errno);
        if (got == 0)
            return {};
        bytes.append(buffer, static_cast<std::size_t>(got));
        if (bytes.size() > kMaxSettingsFileSize)
            return {FileProblem::TooLarge};
    }
}

FileError RewriteFile(const fs::path &path, const ContentChange &change)
{
    const fs::path target = ResolveLinks(path);
    const CFd folder(::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() < 0)
        return SystemError(errno);
    LockFolder(folder.Get());

    std::string current;
    const FileError read = ReadRegularFile(target, current);
    if (read.Failed() && !read.IsMissing())
        return read;
    struct stat old {};
    const bool bExists = !read.Failed() && ::stat(target.c_str(), &old) == 0;
    std::string next;
    if (const FileError refused = change(bExists ? &current : nullptr, next); refused.Failed())
        return refused;
    if (bExists && next == current)
        return {};
    // A rename would replace even a file its owner made read-only.
    if (bExists && ::access(target.c_str(), W_OK) != 0)
        return SystemError(errno);
    return ReplaceWith(folder.Get(), target, bExists ? &old : nullptr, next);
}
#else
// Windows keeps no owner or mode bits that matter here and has no advisory folder lock; the
// rename still replaces the file in one step.
bool MayReplaceFile(const fs::path &path)
{
    std::error_code ec;
    const fs::path target = ResolveLinks(path);
    return !fs::exists(target, ec) ||
           (fs::status(target, ec).permissions() & fs::perms::owner_write) != fs::perms::none;
}

FileError ReadRegularFile(const fs::path &path, std::string &bytes)
{
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status))
        return SystemError(ENOENT);
    if (!fs::is_regular_file(status))
        return {FileProblem::NotRegular};
    if (fs::file_size(path, ec) > kMaxSettingsFileSize)
        return {FileProblem::TooLarge};
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return SystemError(EACCES);
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return file.bad() ? SystemError(EIO) : FileError{};
}

FileError RewriteFile(const fs::path &path, const ContentChange &change)
{
    const fs::path target = ResolveLinks(path);
    std::string current;
    const FileError read = ReadRegularFile(target, current);
    if (read.Failed() && !read.IsMissing())
        return read;
    std::string next;
    if (const FileError refused = change(read.Failed() ? nullptr : &current, next); refused.Failed())
        return refused;
    if (!read.Failed() && next == current)
        return {};
    if (!read.Failed() && !MayReplaceFile(target))
        return SystemError(EACCES);
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
#endif
