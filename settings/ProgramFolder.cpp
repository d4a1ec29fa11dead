#include "settings/ProgramFolder.h"

#include "settings/Utf8Path.h"

#include <filesystem>
#include <system_error>

#if defined(_WIN32)
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#elif defined(__APPLE__)
#include <cstdint>
#include <mach-o/dyld.h>
#endif

namespace fs = std::filesystem;

namespace {
fs::path ExecutablePath()
{
#if defined(_WIN32)
    // The buffer grows until the whole path fits: a path beyond MAX_PATH is not cut short.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size()) {
            buffer.resize(length);
            return fs::path(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
#elif defined(__APPLE__)
    std::uint32_t size = 0;
    _NSGetExecutablePath(nullptr, &size);
    std::string buffer(size, '\0');
    if (_NSGetExecutablePath(buffer.data(), &size) != 0)
        return {};
    std::error_code ec;
    fs::path path = fs::canonical(buffer.c_str(), ec);
    return ec ? fs::path() : path;
#else
    std::error_code ec;
    fs::path path = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : path;
#endif
}
} // namespace

std::string CProgramFolder::GetFolder() const
{
    return Utf8FromPath(ExecutablePath().parent_path());
}
