#include "device/HidapiBackend.h"

#include <hidapi.h>

#include "common/UserText.h"

#include <cerrno>
#include <cstring>
#include <cwchar>

#ifdef __linux__
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
constexpr const char *kNodeGone = QT_TRANSLATE_NOOP("Tavrin", "设备节点已不存在（模块是否已拔出？）");
constexpr const char *kNodeDenied = QT_TRANSLATE_NOOP("Tavrin", "没有读写设备节点的权限");
constexpr const char *kNodeBusy = QT_TRANSLATE_NOOP("Tavrin", "设备节点正被占用");
constexpr const char *kNotHid = QT_TRANSLATE_NOOP("Tavrin", "设备节点能打开，但不响应 HID 设备的查询");
constexpr const char *kSystemError = QT_TRANSLATE_NOOP("Tavrin", "%1（错误号 %2）");
constexpr const char *kNotOpened = QT_TRANSLATE_NOOP("Tavrin", "无法打开设备");

// On Linux the path is the hidraw node: a node the open may not read and write is one the udev
// rules have not opened to this user.
bool IsDenial([[maybe_unused]] int error)
{
#ifdef __linux__
    return error == EACCES || error == EPERM;
#else
    return false;
#endif
}

#ifdef __linux__
// The reason of a failed open in the run's language, from the errno the failing call left.
std::string DescribeOpenError(int error)
{
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return TranslateText({kNodeGone, {}});
    case EACCES:
    case EPERM:
        return TranslateText({kNodeDenied, {}});
    case EBUSY:
        return TranslateText({kNodeBusy, {}});
    default:
        return TranslateText({kSystemError, {std::strerror(error), std::to_string(error)}});
    }
}
#endif

// Why hid_open_path failed. hidapi's hidraw backend keeps no reason of its own for it (its
// library error then reads "Success"): the errno of the failing call is the reason, except where
// the node opened and hidapi's question to it failed afterwards, which a second open tells.
std::string WhyNotOpened([[maybe_unused]] const std::string &path, [[maybe_unused]] int error)
{
#ifdef __linux__
    const bool afterOpen = error == 0 || error == ENOTTY || error == EINVAL || error == EFAULT || error == EIO;
    if (afterOpen) {
        const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd >= 0) {
            ::close(fd);
            return TranslateText({kNotHid, {}});
        }
        if (error == 0)
            error = errno;
    }
    if (error != 0)
        return DescribeOpenError(error);
#endif
    const std::string library = Narrow(hid_error(nullptr));
    return library.empty() ? TranslateText({kNotOpened, {}}) : library;
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
    errno = 0;
    auto *device = reinterpret_cast<HidHandle>(hid_open_path(path.c_str()));
    const int error = errno; // taken before anything else can change it
    m_bOpenDenied = !device && IsDenial(error);
    m_strOpenError = device ? std::string() : WhyNotOpened(path, error);
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
