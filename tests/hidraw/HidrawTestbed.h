#pragma once

#include "sim/VirtualModule.h"

#include <cstdint>
#include <memory>
#include <string>

// Key modules on the real Linux hidraw path, for a process started under umockdev-wrapper: each
// added interface gets the sysfs entries a USB composite HID device has (USB device, USB interface
// with its number, HID device with its report descriptor, hidraw class device) and a /dev/hidrawN
// node whose writes and reads a CVirtualModule answers. hidapi's own enumeration, open, write,
// poll and read run unchanged against it. Adding an interface announces its devices to the
// process's udev monitors (umockdev does so for every device it adds), and unplugging announces
// the removal of its nodes, as the kernel does.
//
// Reports keep their boundaries: a write hands the module one output report, and each input
// report the module queues is announced to poll() by one token byte on the node, so a read
// returns exactly one report, as hidraw does. A module whose reads time out queues nothing and
// the node stays silent, so hidapi's wait runs out for real.
//
// The node handlers run on umockdev's worker thread, while the calling thread is blocked in the
// hidapi call they answer; between hidapi calls the test may freely look at and change its
// modules. The testbed's own calls and the handlers take turns, so a schedule may plug and pull
// modules while another process (one started under the testbed) is using them.
class CHidrawTestbed {
public:
    CHidrawTestbed();
    ~CHidrawTestbed();
    CHidrawTestbed(const CHidrawTestbed &) = delete;
    CHidrawTestbed &operator=(const CHidrawTestbed &) = delete;

    // True when this process runs under umockdev-wrapper, the only place the nodes can be reached.
    static bool IsAvailable();

    // Lists an interface of a module and returns its node ("/dev/hidraw0"). The interfaces of one
    // module with one vendor/product pair share a USB device. Enumeration lists the USB devices in
    // the order their first interface was added (up to nine keep that order), and a device's
    // interfaces in the order they were added.
    std::string AddInterface(CVirtualModule &module, std::uint16_t vendorId, std::uint16_t productId,
                             int interfaceNumber);

    // Pulls the module out: its devices leave sysfs, so enumeration no longer lists them, and
    // calls on handles still open to it fail. Adding its interfaces again plugs it back in, as a
    // new USB device with new nodes and the serial number it had.
    void Unplug(CVirtualModule &module);

    // Takes one interface of a module away, as the kernel does with each in turn while a module
    // is being pulled out: its node is announced as removed and enumeration no longer lists it.
    void RemoveInterface(const std::string &node);

    // The module's nodes open but no longer answer hidraw's questions, as a node of another kind
    // would.
    void RefuseHidQueries(CVirtualModule &module);

    // The serial number the module's USB device reports from its next plugging in on; without
    // one, "EMU" and four digits, the number of the USB device it was first plugged in as.
    void SetSerial(const CVirtualModule &module, const std::string &serial);

    // Pulls the module out as soon as it has received this many output reports since it was last
    // plugged in: the last of them is taken, every later call fails as on a module gone.
    void PullAfterReports(CVirtualModule &module, int reports);

    // The output reports the module has received, asked while another process may be using it.
    int ReportsReceived(const CVirtualModule &module) const;

    // True from the first interface added until the module is pulled out.
    bool IsPlugged(const CVirtualModule &module) const;

    // The node that received the last output report, empty before the first.
    std::string LastWrittenNode() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
};

// A module listed as interfaces 1 and 2 of the first product, in that order.
void AddStandardModule(CHidrawTestbed &testbed, CVirtualModule &module);
