// On Windows the path is the HID interface's device path and the reason is GetLastError's.
#include "device/OpenFailure.h"

#include "settings/Utf8Path.h"

#include <filesystem>
#include <iterator>

#include <windows.h>

namespace {
struct ErrorName {
    DWORD error;
    const char *name;
};
// The errors an open of a HID interface meets; others go by their number.
constexpr ErrorName kErrorNames[] = {
    {ERROR_FILE_NOT_FOUND, "ERROR_FILE_NOT_FOUND"},
    {ERROR_PATH_NOT_FOUND, "ERROR_PATH_NOT_FOUND"},
    {ERROR_ACCESS_DENIED, "ERROR_ACCESS_DENIED"},
    {ERROR_NOT_READY, "ERROR_NOT_READY"},
    {ERROR_GEN_FAILURE, "ERROR_GEN_FAILURE"},
    {ERROR_SHARING_VIOLATION, "ERROR_SHARING_VIOLATION"},
    {ERROR_DEV_NOT_EXIST, "ERROR_DEV_NOT_EXIST"},
    {ERROR_INVALID_NAME, "ERROR_INVALID_NAME"},
    {ERROR_DEVICE_NOT_CONNECTED, "ERROR_DEVICE_NOT_CONNECTED"},
    {ERROR_DEVICE_REMOVED, "ERROR_DEVICE_REMOVED"},
};
} // namespace

OpenFailureKind OpenFailureKindOf(int error)
{
    switch (static_cast<DWORD>(error)) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_DEVICE_REMOVED:
        return OpenFailureKind::Gone;
    // Windows opens HID interfaces to every user: a refusal is a hold, by the system (its own
    // keyboards and mice) or by a program that opened the interface for itself alone.
    case ERROR_ACCESS_DENIED:
        return OpenFailureKind::Refused;
    case ERROR_SHARING_VIOLATION:
        return OpenFailureKind::InUse;
    default:
        return OpenFailureKind::Other;
    }
}

std::string SystemErrorText(int error)
{
    wchar_t text[512];
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                  static_cast<DWORD>(error), 0, text, static_cast<DWORD>(std::size(text)), nullptr);
    // The system ends its sentences with a full stop and a line break, which the message around
    // it has no place for.
    while (length > 0 && (text[length - 1] == L'\r' || text[length - 1] == L'\n' || text[length - 1] == L' ' ||
                          text[length - 1] == L'.' || text[length - 1] == L'\x3002'))
        --length;
    if (length == 0)
        return SystemErrorName(error);
    return Utf8FromPath(std::filesystem::path(std::wstring(text, length)));
}

std::string SystemErrorName(int error)
{
    for (const ErrorName &known : kErrorNames) {
        if (known.error == static_cast<DWORD>(error))
            return known.name;
    }
    return std::to_string(error);
}

int ReadWriteOpenError(const std::string &path)
{
    // As hidapi asks: reading and writing, shared with the interface's other users.
    HANDLE handle = CreateFileW(PathFromUtf8(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return static_cast<int>(GetLastError());
    CloseHandle(handle);
    return 0;
}

// hidapi 0.13.1 keeps no usable error behind a failed hid_open_path: it retries the open without
// read and write access, records that second open's error, and closes and frees before it returns,
// so GetLastError is no longer the open's. The open is asked again, as hidapi first asked it.
std::optional<OpenFailure> ExplainFailedOpen(const std::string &path, int)
{
    const int error = ReadWriteOpenError(path);
    if (error == 0)
        return OpenFailure{OpenFailureKind::NotHid, 0};
    return OpenFailure{OpenFailureKindOf(error), error};
}

// Where the interface does not open for reading and writing, hidapi 0.13.1 hands out a handle
// without that access (it is meant for feature reports of the system's keyboards and mice), and
// every report written to it fails later. Such a handle is a failed open here, with its reason.
std::optional<OpenFailure> CheckOpened(const std::string &path)
{
    const int error = ReadWriteOpenError(path);
    if (error == 0)
        return std::nullopt;
    return OpenFailure{OpenFailureKindOf(error), error};
}
