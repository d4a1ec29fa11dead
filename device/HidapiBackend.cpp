#include "device/HidapiBackend.h"

#include <hidapi.h>

#include "common/UserText.h"
#include "common/WideText.h"
#include "device/OpenFailure.h"

#include <cerrno>

namespace {
hid_device *Native(HidHandle device)
{
    return reinterpret_cast<hid_device *>(device);
}

constexpr const char *kNotOpened = QT_TRANSLATE_NOOP("Tavrin", "无法打开设备");
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
                          entry->interface_number, Utf8FromWide(entry->serial_number)});
    }
    hid_free_enumeration(list);
    return result;
}

HidHandle CHidapiBackend::OpenPath(const std::string &path)
{
    errno = 0;
    hid_device *device = hid_open_path(path.c_str());
    const int error = errno; // taken before anything else can change it
    const std::optional<OpenFailure> failure = device ? CheckOpened(path) : ExplainFailedOpen(path, error);
    if (device && failure) {
        hid_close(device);
        device = nullptr;
    }
    m_bOpenDenied = failure && failure->kind == OpenFailureKind::Denied;
    m_strOpenError.clear();
    if (failure)
        m_strOpenError = DescribeOpenFailure(*failure);
    else if (!device)
        m_strOpenError = Utf8FromWide(hid_error(nullptr));
    if (!device && m_strOpenError.empty())
        m_strOpenError = TranslateText({kNotOpened, {}});
    return reinterpret_cast<HidHandle>(device);
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
    return Utf8FromWide(hid_error(Native(device)));
}
