#pragma once

#include <optional>
#include <string>

// Why an interface did not open, in the terms the user is told. Each system maps its own error
// numbers onto these: errno on Linux, GetLastError's on Windows.
enum class OpenFailureKind {
    Gone,    // the interface is no longer there
    Denied,  // this user's rights do not allow reading and writing it (the udev rule grants them)
    Busy,    // the system has it busy
    Refused, // the system refuses to open it for reading and writing (another program holds it)
    InUse,   // another program has it open and shares it with no one
    NotHid,  // it opens, but does not answer as a HID device
    Other,   // none of these: the system's own words, with the number
};

struct OpenFailure {
    OpenFailureKind kind = OpenFailureKind::Other;
    int error = 0; // the system's error number; 0 where the system gave none
};

// Each system's half (OpenFailureLinux.cpp, OpenFailureWindows.cpp):
// The kind of a failed open's error number.
OpenFailureKind OpenFailureKindOf(int error);
// The system's own words for an error number, without a trailing full stop.
std::string SystemErrorText(int error);
// Its symbolic name for scripts ("EACCES", "ERROR_SHARING_VIOLATION"); the number where it has none.
std::string SystemErrorName(int error);
// The error of opening the interface at path for reading and writing as the library does; 0 when
// it opens.
int ReadWriteOpenError(const std::string &path);
// Why the library's open of path failed, given the errno it left; nothing when the system cannot
// tell, and the library's own words are all there is.
std::optional<OpenFailure> ExplainFailedOpen(const std::string &path, int libraryErrno);
// After the library's open of path succeeded: the failure that makes its handle useless, if any.
std::optional<OpenFailure> CheckOpened(const std::string &path);

// Shared: the reason in the run's language.
std::string DescribeOpenFailure(const OpenFailure &failure);
