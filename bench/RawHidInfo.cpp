// The floor of `tavrin-cli info`: the same enumeration, open and query reports with bare hidapi
// calls, as a whole process. Without a module it is one enumeration, like the tool's search.
#include "device/CommandBlock.h"
#include "device/DeviceLink.h"

#include <hidapi.h>

#include <array>
#include <cstdio>
#include <string>

namespace {
// The first interface of the search list that is present, as the tool's search picks it.
std::string FirstModulePath(hid_device_info *devices)
{
    for (const ModuleInterfaceId &id : kSearchList) {
        for (hid_device_info *device = devices; device; device = device->next) {
            if (device->vendor_id == id.vendorId && device->product_id == id.productId &&
                device->interface_number == id.interfaceNumber)
                return device->path;
        }
    }
    return {};
}
} // namespace

int main()
{
    if (hid_init() != 0)
        return 1;
    hid_device_info *devices = hid_enumerate(0, 0);
    const std::string path = FirstModulePath(devices);
    hid_free_enumeration(devices);
    hid_device *module = path.empty() ? nullptr : hid_open_path(path.c_str());
    if (!module) {
        hid_exit();
        return 3;
    }
    std::array<unsigned char, kOutputReportSize> report{};
    const CommandBlock query = MakeQueryCommand();
    std::copy(query.bytes.begin(), query.bytes.end(), report.begin());
    std::array<unsigned char, 128> reply{};
    int status = hid_write(module, report.data(), report.size()) < 0 ? 5 : 0;
    for (std::size_t done = 0; status == 0 && done < query.DataLength(); done += kPieceSize)
        status = hid_read_timeout(module, reply.data() + done, kPieceSize, kReadTimeoutMs) < 0 ? 5 : 0;
    std::printf("%s %u %u\n", path.c_str(), reply[3], reply[5]);
    hid_close(module);
    hid_exit();
    return status;
}
