// On Linux the path is the hidraw node and the reason is the errno of the call that failed.
#include "device/OpenFailure.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

OpenFailureKind OpenFailureKindOf(int error)
{
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return OpenFailureKind::Gone;
    // A node the open may not read and write is one the udev rules have not opened to this user.
    case EACCES:
    case EPERM:
        return OpenFailureKind::Denied;
    case EBUSY:
        return OpenFailureKind::Busy;
    default:
        return OpenFailureKind::Other;
    }
}

std::string SystemErrorText(int error)
{
    return std::strerror(error);
}

std::string SystemErrorName(int error)
{
    const char *name = strerrorname_np(error);
    return name ? name : std::to_string(error);
}

int ReadWriteOpenError(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    ::close(fd);
    return 0;
}

// hidapi's hidraw backend keeps no reason of its own for a failed open (its library error then
// reads "Success"): the errno of the failing call is the reason, except where the node opened and
// hidapi's question to it failed afterwards, which a second open tells.
std::optional<OpenFailure> ExplainFailedOpen(const std::string &path, int libraryErrno)
{
    int error = libraryErrno;
    const bool afterOpen = error == 0 || error == ENOTTY || error == EINVAL || error == EFAULT || error == EIO;
    if (afterOpen) {
        const int reopenError = ReadWriteOpenError(path);
        if (reopenError == 0)
            return OpenFailure{OpenFailureKind::NotHid, 0};
        if (error == 0)
            error = reopenError;
    }
    if (error == 0)
        return std::nullopt;
    return OpenFailure{OpenFailureKindOf(error), error};
}

// hidraw's open asks for reading and writing and fails otherwise: a handle it gives is usable.
std::optional<OpenFailure> CheckOpened(const std::string &)
{
    return std::nullopt;
}
