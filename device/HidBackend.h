#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// An open HID interface, opaque to everything above the backend.
struct HidDevice;
using HidHandle = HidDevice *;

// One HID interface as the enumeration lists it.
struct HidDeviceInfo {
    std::string path;
    std::uint16_t vendor_id = 0;
    std::uint16_t product_id = 0;
    int interface_number = -1;
    std::string serial; // the USB serial number; empty when the device has none
};

// The only way to the module: the hidapi calls the tool makes, one for one. The production
// backend forwards to hidapi unchanged; the virtual module implements it for tests and the demo.
class IHidBackend {
public:
    virtual ~IHidBackend() = default;

    // hid_init: 0 on success.
    virtual int Init() = 0;
    // hid_enumerate followed by hid_free_enumeration: the interfaces with these identifiers (0 for
    // any), in enumeration order.
    virtual std::vector<HidDeviceInfo> Enumerate(std::uint16_t vendorId, std::uint16_t productId) = 0;
    // hid_open_path: nullptr on failure.
    virtual HidHandle OpenPath(const std::string &path) = 0;
    // Whether the last failed OpenPath failed because the user may not open the device (as
    // opposed to the device being gone).
    virtual bool LastOpenDenied() const = 0;
    // hid_write: the first byte is the report ID; bytes written or -1.
    virtual int Write(HidHandle device, const std::uint8_t *data, std::size_t length) = 0;
    // hid_read_timeout: bytes read, 0 on time-out, -1 on failure.
    virtual int ReadTimeout(HidHandle device, std::uint8_t *data, std::size_t length, int milliseconds) = 0;
    // hid_close.
    virtual void Close(HidHandle device) = 0;
    // hid_error: the last error of a device, or of the library when device is nullptr.
    virtual std::string Error(HidHandle device) = 0;
};
