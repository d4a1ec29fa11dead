#include "device/ModuleWatcher.h"

#include <libudev.h>
#include <sys/epoll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>

namespace {
// The identifiers of a hidraw node's module, from its USB device and interface; nothing for a
// node that is not on USB.
std::optional<InterfaceAnnouncement> AnnouncementOf(udev_device *node)
{
    const char *devnode = udev_device_get_devnode(node);
    udev_device *usbInterface = udev_device_get_parent_with_subsystem_devtype(node, "usb", "usb_interface");
    udev_device *usbDevice = udev_device_get_parent_with_subsystem_devtype(node, "usb", "usb_device");
    if (!devnode || !usbInterface || !usbDevice)
        return std::nullopt;
    const char *vendor = udev_device_get_sysattr_value(usbDevice, "idVendor");
    const char *product = udev_device_get_sysattr_value(usbDevice, "idProduct");
    const char *number = udev_device_get_sysattr_value(usbInterface, "bInterfaceNumber");
    if (!vendor || !product || !number)
        return std::nullopt;
    const char *serial = udev_device_get_sysattr_value(usbDevice, "serial");
    return InterfaceAnnouncement{{udev_device_get_syspath(usbDevice), serial ? serial : ""}, devnode,
                                 static_cast<std::uint16_t>(std::strtoul(vendor, nullptr, 16)),
                                 static_cast<std::uint16_t>(std::strtoul(product, nullptr, 16)),
                                 static_cast<int>(std::strtol(number, nullptr, 16))};
}

// libudev's monitor of the hidraw subsystem. It listens to udev's announcements, not the
// kernel's, so a node has its permissions from the udev rules by the time it is announced.
class CUdevModuleWatcher final : public IModuleWatcher {
public:
    CUdevModuleWatcher() : m_udev(udev_new())
    {
        m_monitor = m_udev ? udev_monitor_new_from_netlink(m_udev, "udev") : nullptr;
        if (!m_monitor || udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "hidraw", nullptr) < 0 ||
            udev_monitor_enable_receiving(m_monitor) < 0 || !WatchTogether()) {
            return;
        }
        // Receiving first, then the nodes already there: a module plugged in between is not lost.
        for (const InterfaceAnnouncement &announcement : ListPresent())
            m_settler.Present(announcement);
        m_bStarted = true;
    }

    ~CUdevModuleWatcher() override
    {
        if (m_nEpoll >= 0)
            ::close(m_nEpoll);
        if (m_monitor)
            udev_monitor_unref(m_monitor);
        if (m_udev)
            udev_unref(m_udev);
    }

    CUdevModuleWatcher(const CUdevModuleWatcher &) = delete;
    CUdevModuleWatcher &operator=(const CUdevModuleWatcher &) = delete;

    bool Started() const { return m_bStarted; }

    // Readable while announcements wait in the monitor's socket, or events made of them wait.
    ReadySignal Ready() const override { return {m_nEpoll}; }

    std::vector<ModuleEvent> TakeEvents() override
    {
        m_eventsWait.Clear();
        Receive();
        return m_settler.TakeDue(CModuleSettler::Clock::now());
    }

    int MillisecondsToSettle() const override { return m_settler.MillisecondsToSettle(CModuleSettler::Clock::now()); }

    std::optional<WatchedModule> ModuleOf(const std::string &node) override
    {
        Receive();
        // The announcements read here leave the socket: their events must still wake the owner.
        if (m_settler.HasEvents())
            m_eventsWait.Raise();
        return m_settler.ModuleOf(node);
    }

private:
    // One descriptor for the owner to wait on, readable when the socket or the flag is.
    bool WatchTogether()
    {
        m_nEpoll = epoll_create1(EPOLL_CLOEXEC);
        if (m_nEpoll < 0 || m_eventsWait.Signal().IsNone())
            return false;
        for (const int watched : {udev_monitor_get_fd(m_monitor), static_cast<int>(m_eventsWait.Signal().handle)}) {
            epoll_event readable{};
            readable.events = EPOLLIN;
            readable.data.fd = watched;
            if (epoll_ctl(m_nEpoll, EPOLL_CTL_ADD, watched, &readable) != 0)
                return false;
        }
        return true;
    }

    // Hands the waiting announcements to the settler.
    void Receive()
    {
        // The monitor's socket does not block: it gives nullptr once nothing is waiting, or on an
        // error such as an overrun, after which announcements are lost and the nodes are listed
        // afresh.
        for (;;) {
            errno = 0;
            udev_device *device = udev_monitor_receive_device(m_monitor);
            if (!device)
                break;
            const std::string action = udev_device_get_action(device) ? udev_device_get_action(device) : "";
            if (action == "add") {
                if (const auto announcement = AnnouncementOf(device))
                    m_settler.Added(*announcement, CModuleSettler::Clock::now());
            } else if (action == "remove" && udev_device_get_devnode(device)) {
                m_settler.Removed(udev_device_get_devnode(device));
            }
            udev_device_unref(device);
        }
        if (errno != 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            m_settler.Relist(ListPresent(), CModuleSettler::Clock::now());
    }

    std::vector<InterfaceAnnouncement> ListPresent()
    {
        std::vector<InterfaceAnnouncement> present;
        udev_enumerate *enumerate = udev_enumerate_new(m_udev);
        if (!enumerate)
            return present;
        udev_enumerate_add_match_subsystem(enumerate, "hidraw");
        udev_enumerate_scan_devices(enumerate);
        udev_list_entry *entry = nullptr;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate))
        {
            udev_device *device = udev_device_new_from_syspath(m_udev, udev_list_entry_get_name(entry));
            if (!device)
                continue;
            if (const auto announcement = AnnouncementOf(device))
                present.push_back(*announcement);
            udev_device_unref(device);
        }
        udev_enumerate_unref(enumerate);
        return present;
    }

    udev *m_udev;
    udev_monitor *m_monitor = nullptr;
    CModuleSettler m_settler;
    CReadyFlag m_eventsWait; // raised while events that ModuleOf read wait for TakeEvents
    int m_nEpoll = -1;
    bool m_bStarted = false;
};
} // namespace

std::unique_ptr<IModuleWatcher> CreateModuleWatcher()
{
    auto watcher = std::make_unique<CUdevModuleWatcher>();
    if (!watcher->Started())
        return nullptr;
    return watcher;
}

ModuleIdentity ModuleOfNode(const std::string &node)
{
    struct stat status {};
    if (::stat(node.c_str(), &status) != 0 || !S_ISCHR(status.st_mode))
        return {};
    udev *context = udev_new();
    if (!context)
        return {};
    ModuleIdentity module;
    if (udev_device *device = udev_device_new_from_devnum(context, 'c', status.st_rdev)) {
        if (const auto announcement = AnnouncementOf(device))
            module = announcement->module;
        udev_device_unref(device);
    }
    udev_unref(context);
    return module;
}
