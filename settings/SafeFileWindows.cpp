// The file layer on Windows. Windows keeps no owner or mode bits that matter here, has no sticky
// folders and no advisory folder lock; the rename still replaces the file in one step, and the
// bytes reach the disk before it.
#include "settings/SafeFile.h"

#include "settings/SafeFileParts.h"
#include "settings/Utf8Path.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <random>
#include <system_error>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace fs = std::filesystem;

namespace {
// Windows names every component by up to 255 UTF-16 units; as many UTF-8 bytes always fit.
constexpr std::size_t kNameMax = 255;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Closes on every way out.
class CFile {
public:
    explicit CFile(std::FILE *file) : m_file(file) {}
    ~CFile()
    {
        if (m_file)
            std::fclose(m_file);
    }
    CFile(const CFile &) = delete;
    CFile &operator=(const CFile &) = delete;
    std::FILE *Get() const { return m_file; }
    // Closes now, for the error of the close itself.
    FileError Close()
    {
        std::FILE *file = m_file;
        m_file = nullptr;
        return std::fclose(file) == 0 ? FileError{} : SystemError(errno);
    }

private:
    std::FILE *m_file;
};

int ErrnoOf(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EACCES;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    default:
        return EIO;
    }
}

FileError LastSystemError()
{
    return SystemError(ErrnoOf(::GetLastError()));
}

// The C library's buffer first, then the system's, down to the disk.
FileError WriteAndFlush(std::FILE *file, std::string_view bytes)
{
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size())
        return SystemError(errno != 0 ? errno : EIO);
    if (std::fflush(file) != 0)
        return SystemError(errno);
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(file)));
    return handle != INVALID_HANDLE_VALUE && ::FlushFileBuffers(handle) ? FileError{} : LastSystemError();
}

std::string RandomLettersAndDigits()
{
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device random;
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 2);
    std::string text(kTemporaryRandomLength, 'x');
    for (char &c : text)
        c = kAlphabet[pick(random)];
    return text;
}

// The C library's stream over a handle, which it closes; errno set when there is none.
std::FILE *FileOf(HANDLE handle, int nAccess, const char *pszMode)
{
    if (handle == INVALID_HANDLE_VALUE) {
        errno = ErrnoOf(::GetLastError());
        return nullptr;
    }
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY | nAccess);
    if (fd < 0) {
        ::CloseHandle(handle);
        return nullptr;
    }
    std::FILE *file = ::_fdopen(fd, pszMode);
    if (!file)
        ::_close(fd);
    return file;
}

// A new file, created here or not at all, never an existing file written through. The C
// library's "x" mode is no help: the system's msvcrt.dll predates it, and Wine's ignores it.
std::FILE *CreateNewFile(const fs::path &path)
{
    const HANDLE handle =
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    return FileOf(handle, _O_WRONLY, "wb");
}

// Opened so that a save may replace the file while it is read, as on POSIX: the C library's own
// open would make that save fail.
std::FILE *OpenForReading(const fs::path &path)
{
    const HANDLE handle =
        ::CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return FileOf(handle, _O_RDONLY, "rb");
}

// A new temporary file beside target.
std::FILE *CreateTemporary(const fs::path &target, const std::string &prefix, fs::path &temp)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = FolderOf(target) / PathFromUtf8(prefix + RandomLettersAndDigits());
        if (std::FILE *file = CreateNewFile(temp))
            return file;
        if (errno != EEXIST)
            return nullptr;
    }
    return nullptr;
}

// What the system knows of the file at path, links followed: its volume, index, size, times and
// names. (The C library's stat has no index and always counts one name.)
std::optional<BY_HANDLE_FILE_INFORMATION> InfoOf(const fs::path &path)
{
    const HANDLE handle =
        ::CreateFileW(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool bKnown = ::GetFileInformationByHandle(handle, &info);
    ::CloseHandle(handle);
    return bKnown ? std::optional(info) : std::nullopt;
}

unsigned long long Join(DWORD high, DWORD low)
{
    return (static_cast<unsigned long long>(high) << 32) | low;
}

// Nanoseconds since 1970, as on POSIX (a file time counts 100 ns from 1601).
long long NanosecondsOf(FILETIME time)
{
    constexpr long long k1601To1970 = 116444736000000000LL;
    return (static_cast<long long>(Join(time.dwHighDateTime, time.dwLowDateTime)) - k1601To1970) * 100;
}

// Removes what killed saves left: old regular files of the temporary name, nothing else. The
// system lists the folder: the C library's listing stops at MAX_PATH.
void RemoveStaleTemporaries(const fs::path &target, const std::string &prefix)
{
    const fs::path folder = FolderOf(target);
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW((folder / L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    const long long oldest = NanosecondsOf(now) - kStaleTemporaryAgeSeconds * 1'000'000'000LL;
    do {
        const bool bFile = (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
        if (bFile && NanosecondsOf(found.ftLastWriteTime) < oldest &&
            IsTemporaryName(Utf8FromPath(fs::path(found.cFileName)), prefix))
            ::DeleteFileW((folder / found.cFileName).c_str());
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}
} // namespace

FileError ResolveLinks(const fs::path &path, fs::path &resolved)
{
    resolved = path;
    std::error_code ec;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        if (!fs::is_symlink(fs::symlink_status(resolved, ec)))
            return {};
        const fs::path link = fs::read_symlink(resolved, ec);
        if (ec)
            return SystemError(ec.value());
        resolved = link.is_absolute() ? link : FolderOf(resolved) / link;
    }
    return SystemError(ELOOP);
}

bool MayReplaceFile(const fs::path &path)
{
    std::error_code ec;
    fs::path target;
    if (ResolveLinks(path, target).Failed())
        return false;
    return !fs::exists(target, ec) ||
           (fs::status(target, ec).permissions() & fs::perms::owner_write) != fs::perms::none;
}

// The volume and the file's index tell a file replaced by another even of the same size and time;
// the creation time stands in for the change time, which this information lacks.
std::optional<FileStamp> StampOf(const fs::path &path)
{
    fs::path target;
    if (ResolveLinks(path, target).Failed())
        return std::nullopt;
    const std::optional<BY_HANDLE_FILE_INFORMATION> info = InfoOf(target);
    if (!info || (info->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return std::nullopt;
    return FileStamp{info->dwVolumeSerialNumber, Join(info->nFileIndexHigh, info->nFileIndexLow),
                     static_cast<long long>(Join(info->nFileSizeHigh, info->nFileSizeLow)),
                     NanosecondsOf(info->ftLastWriteTime), NanosecondsOf(info->ftCreationTime)};
}

FileError ReadRegularFile(const fs::path &path, std::string &bytes, std::size_t maxBytes)
{
    fs::path target;
    if (const FileError error = ResolveLinks(path, target); error.Failed())
        return error;
    std::error_code ec;
    const fs::file_status status = fs::status(target, ec);
    if (!fs::exists(status))
        return SystemError(ENOENT);
    if (!fs::is_regular_file(status))
        return {FileProblem::NotRegular};
    CFile file(OpenForReading(target));
    if (!file.Get())
        return SystemError(errno);
    bytes.clear();
    char buffer[16384];
    for (;;) {
        errno = 0;
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, file.Get());
        bytes.append(buffer, got);
        if (bytes.size() > maxBytes)
            return TooLarge(maxBytes);
        if (got < sizeof buffer)
            return std::ferror(file.Get()) ? SystemError(errno != 0 ? errno : EIO) : FileError{};
    }
}

namespace {
// Windows refuses to replace a file while any program has it open, even one that shares its
// deletion, as a reader of the file does for a moment: the rename is tried again for as long as a
// save waits for another.
FileError MoveOver(const fs::path &temp, const fs::path &target)
{
    constexpr DWORD kPauseMs = 5;
    for (DWORD waited = 0;; waited += kPauseMs) {
        if (::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return {};
        const DWORD error = ::GetLastError();
        if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) || waited >= kLockWaitMs)
            return SystemError(ErrnoOf(error));
        ::Sleep(kPauseMs);
    }
}

// Writes next into a new temporary file and renames it over target, unless target no longer has
// the stamp it had when it was read (bChanged then).
FileError ReplaceWith(const fs::path &target, const std::string &prefix, const std::optional<FileStamp> &read,
                      std::string_view next, bool &bChanged)
{
    fs::path temp;
    CFile file(CreateTemporary(target, prefix, temp));
    if (!file.Get())
        return SystemError(errno);
    FileError error = WriteAndFlush(file.Get(), next);
    if (const FileError closed = file.Close(); !error.Failed())
        error = closed;
    bChanged = !error.Failed() && StampOf(target) != read;
    if (!error.Failed() && !bChanged)
        error = MoveOver(temp, target);
    if (error.Failed() || bChanged) {
        std::error_code ec;
        fs::remove(temp, ec);
    }
    return error;
}
} // namespace

// No lock keeps other writers out, so the file's stamp tells whether one changed it meanwhile.
FileError RewriteFile(const fs::path &path, const ContentChange &change, std::size_t maxBytes)
{
    fs::path target;
    if (const FileError error = ResolveLinks(path, target); error.Failed())
        return error;
    const std::string prefix = TemporaryPrefix(Utf8FromPath(target.filename()), kNameMax);
    RemoveStaleTemporaries(target, prefix);
    for (int attempt = 0; attempt < kSaveAttempts; ++attempt) {
        const std::optional<FileStamp> stamp = StampOf(target);
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
        const std::optional<BY_HANDLE_FILE_INFORMATION> info = read.Failed() ? std::nullopt : InfoOf(target);
        bool bChanged = false;
        if (const FileError error = ReplaceWith(target, prefix, stamp, next, bChanged); error.Failed())
            return error;
        if (!bChanged) {
            FileError done;
            if (info && info->nNumberOfLinks > 1)
                done.warning = FileWarning::OtherLinksKeepOldContent;
            return done;
        }
    }
    return {FileProblem::ChangedMeanwhile};
}

namespace {
// Whether the file's last byte, at size - 1, ends a line (an empty file does).
bool EndsWithLine(std::FILE *file, long long size)
{
    return size == 0 || ::_fseeki64(file, size - 1, SEEK_SET) != 0 || std::fgetc(file) == '\n';
}

// Appends bytes; for wholeLines a last line left without its end (a crash) is ended first, and a
// write that does not go through whole (a full disk) is cut back.
FileError AppendTo(const fs::path &path, std::string_view bytes, bool wholeLines)
{
    fs::path target;
    if (const FileError error = ResolveLinks(path, target); error.Failed())
        return error;
    std::error_code ec;
    const fs::file_status status = fs::status(target, ec);
    if (fs::exists(status) && !fs::is_regular_file(status))
        return {FileProblem::NotRegular};
    CFile file(::_wfopen(target.c_str(), wholeLines ? L"a+b" : L"ab"));
    if (!file.Get())
        return SystemError(errno);
    if (!wholeLines || bytes.empty()) {
        const FileError error = WriteAndFlush(file.Get(), bytes);
        const FileError closed = file.Close();
        return error.Failed() ? error : closed;
    }
    // Unbuffered, so that no bytes of a failed write are left to reach the file at its close.
    std::setvbuf(file.Get(), nullptr, _IONBF, 0);
    ::_fseeki64(file.Get(), 0, SEEK_END);
    const long long size = ::_ftelli64(file.Get());
    const std::string line = (EndsWithLine(file.Get(), size) ? "" : "\n") + std::string(bytes);
    // A write after a read must follow a positioning; appending goes to the end whatever it is.
    ::_fseeki64(file.Get(), 0, SEEK_END);
    const FileError error = WriteAndFlush(file.Get(), line);
    if (error.Failed() && ::_chsize_s(::_fileno(file.Get()), size) == 0)
        ::FlushFileBuffers(reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(file.Get()))));
    const FileError closed = file.Close();
    return error.Failed() ? error : closed;
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
