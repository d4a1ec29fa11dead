#include "device/HidapiBackend.h"

#include <hidapi.h>

#include <cwchar>

#include <cstring>

#ifdef __linux__
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {
hid_device *Native(HidHandle device)
{
    return reinterpret_cast<hid_device *>(device);
}

std::string Narrow(const wchar_t *text)
{
    if (!text)
        return {};
    std::string result;
    std::mbstate_t state{};
    char buffer[8];
    for (; *text; ++text) {
        const std::size_t n = std::wcrtomb(buffer, *text, &state);
        if (n == static_cast<std::size_t>(-1))
            result += '?';
        else
            result.append(buffer, n);
    }
    return result;
}
// On Linux the path is the hidraw node: a node that exists but may not be read and written is
// one the udev rules have not opened to this user.
bool IsAccessDenied([[maybe_unused]] const std::string &path)
{
#ifdef __linux__
    return ::access(path.c_str(), R_OK | W_OK) != 0 && (errno == EACCES || errno == EPERM);
#else
    return false;
#endif
}

// hidapi's hidraw backend keeps no reason for a failed open (its library error then reads
// "Success"): the node opened the same way tells it.
std::string WhyNotOpened([[maybe_unused]] const std::string &path)
{
#ifdef __linux__
    const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return std::strerror(errno);
    ::close(fd);
#endif
    return {};
}
} // namespace

CHidapiBackend::~CHidapiBackend()
{
    if (m_bInitialised)
        hid_exit();
}

int CHidapiBackend::Init()
{
    const int result = hid_init();
    m_bInitialised = m_bInitialised || result == 0;
    return result;
}

std::vector<HidDeviceInfo> CHidapiBackend::Enumerate(std::uint16_t vendorId, std::uint16_t productId)
{
    std::vector<HidDeviceInfo> result;
    hid_device_info *list = hid_enumerate(vendorId, productId);
    for (const hid_device_info *entry = list; entry; entry = entry->next) {
        result.push_back({entry->path ? entry->path : "", entry->vendor_id, entry->product_id,
                          entry->interface_number, Narrow(entry->serial_number)});
    }
    hid_free_enumeration(list);
    return result;
}

HidHandle CHidapiBackend::OpenPath(const std::string &path)
{
    auto *device = reinterpret_cast<HidHandle>(hid_open_path(path.c_str()));
    m_bOpenDenied = !device && IsAccessDenied(path);
    m_strOpenError = device ? std::string() : WhyNotOpened(path);
    return device;
}

int CHidapiBackend::Write(HidHandle device, const std::uint8_t *data, std::size_t length)
{
    return hid_write(Native(device), data, length);
}

int CHidapiBackend::ReadTimeout(HidHandle device, std::uint8_t *data, std::size_t length, int milliseconds)
{
    return hid_read_timeout(Native(device), data, length, milliseconds);
}

void CHidapiBackend::Close(HidHandle device)
{
    hid_close(Native(device));
}

std::string CHidapiBackend::Error(HidHandle device)
{
    if (!device && !m_strOpenError.empty())
        return m_strOpenError;
    return Narrow(hid_error(Native(device)));
}
