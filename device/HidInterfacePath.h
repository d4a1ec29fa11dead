#pragma once

#include "device/ModuleWatcher.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// What a Windows HID interface path tells of its interface. A path such as
//   \\?\HID#VID_0B05&PID_185F&MI_01#7&2a8c4b1&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}
// names the vendor, the product and the USB interface number in its device part. The device list
// and the arrival notice of one interface may spell it in different case.
struct HidInterfacePath {
    std::string node; // the path in the one spelling watchers hand out: lower case
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    int interfaceNumber = -1; // -1 for a device of a single interface, whose path names none
};

// The parts of a HID interface path; nothing for any other path, or one that names no vendor and
// product (a Bluetooth device's, for one).
std::optional<HidInterfacePath> ParseHidInterfacePath(std::string_view path);

// An interface path ("\\?\...") in the spelling watchers hand out; any other node as it is.
std::string NormalisedInterfacePath(std::string_view path);

// Whether a device instance id is a USB device's own (USB\VID_xxxx&PID_xxxx\...): not one of its
// interfaces (&MI_xx), not a hub, not a device on another bus.
bool IsUsbDeviceId(std::string_view instanceId);

// An interface's announcement: its module is the USB device the system names for it, or where it
// names none (Wine's device tree has no USB devices), the instance id Windows gives a USB device
// of that vendor, product and serial. That groups one module's interfaces and tells modules with
// serials apart; modules of one kind without a serial cannot be told apart by it.
InterfaceAnnouncement AnnouncementOfInterface(const HidInterfacePath &path, const std::string &usbDevice,
                                              const std::string &serial);
