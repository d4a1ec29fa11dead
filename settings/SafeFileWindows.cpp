// The file layer on Windows. Windows keeps no owner or mode bits that matter here, has no sticky
// folders and no advisory folder lock; the rename still replaces the file in one step, and the
// bytes reach the disk before it.
#include "settings/SafeFile.h"

#include "settings/SafeFileParts.h"
#include "settings/Utf8Path.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>
#include <system_error>

#include <io.h>
#include <windows.h>

namespace fs = std::filesystem;

namespace {
// Windows names every component by up to 255 UTF-16 units; as many UTF-8 bytes always fit.
constexpr std::size_t kNameMax = 255;

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

// A new temporary file beside target, created here or not at all ("x"), never an existing file
// written through.
std::FILE *CreateTemporary(const fs::path &target, const std::string &prefix, fs::path &temp)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = FolderOf(target) / PathFromUtf8(prefix + RandomLettersAndDigits());
        if (std::FILE *file = ::_wfopen(temp.c_str(), L"wbx"))
            return file;
        if (errno != EEXIST)
            return nullptr;
    }
    return nullptr;
}

// Removes what killed saves left: old regular files of the temporary name, nothing else.
void RemoveStaleTemporaries(const fs::path &target, const std::string &prefix)
{
    std::error_code ec;
    const auto oldest = fs::file_time_type::clock::now() - std::chrono::seconds(kStaleTemporaryAgeSeconds);
    for (const fs::directory_entry &entry : fs::directory_iterator(FolderOf(target), ec)) {
        if (IsTemporaryName(Utf8FromPath(entry.path().filename()), prefix) &&
            !entry.is_symlink(ec) && entry.is_regular_file(ec) && entry.last_write_time(ec) < oldest)
            fs::remove(entry.path(), ec);
    }
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

// Size and write time alone do not tell a file replaced by another of the same size in the same
// clock tick; without the file's index every save reads the file under the lock.
std::optional<FileStamp> StampOf(const fs::path &)
{
    return std::nullopt;
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
    CFile file(::_wfopen(target.c_str(), L"rb"));
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

FileError RewriteFile(const fs::path &path, const ContentChange &change, std::size_t maxBytes)
{
    fs::path target;
    if (const FileError error = ResolveLinks(path, target); error.Failed())
        return error;
    const std::string prefix = TemporaryPrefix(Utf8FromPath(target.filename()), kNameMax);
    RemoveStaleTemporaries(target, prefix);
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

    std::error_code ec;
    const std::uintmax_t links = read.Failed() ? 0 : fs::hard_link_count(target, ec);
    fs::path temp;
    CFile file(CreateTemporary(target, prefix, temp));
    if (!file.Get())
        return SystemError(errno);
    FileError error = WriteAndFlush(file.Get(), next);
    if (const FileError closed = file.Close(); !error.Failed())
        error = closed;
    if (!error.Failed() &&
        !::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = LastSystemError();
    if (error.Failed()) {
        fs::remove(temp, ec);
        return error;
    }
    FileError done;
    if (links > 1)
        done.warning = FileWarning::OtherLinksKeepOldContent;
    return done;
}

FileError AppendToFile(const fs::path &path, std::string_view bytes)
{
    fs::path target;
    if (const FileError error = ResolveLinks(path, target); error.Failed())
        return error;
    std::error_code ec;
    const fs::file_status status = fs::status(target, ec);
    if (fs::exists(status) && !fs::is_regular_file(status))
        return {FileProblem::NotRegular};
    CFile file(::_wfopen(target.c_str(), L"ab"));
    if (!file.Get())
        return SystemError(errno);
    const FileError error = WriteAndFlush(file.Get(), bytes);
    const FileError closed = file.Close();
    return error.Failed() ? error : closed;
}

// Lines are appended as bytes here: the torn-line repair and the cut-back are the POSIX half's.
FileError AppendLineToFile(const fs::path &path, std::string_view line)
{
    return AppendToFile(path, line);
}
