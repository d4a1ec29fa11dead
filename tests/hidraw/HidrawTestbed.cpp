#include "HidrawTestbed.h"

#include <umockdev.h>

#include <fcntl.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/ioctl.h> // the request numbers of linux/hidraw.h
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

namespace {
// Vendor page 0xFF00: one 64-byte input and one 64-byte output report, no report IDs, so every
// output report is the report-ID byte 0 and 64 bytes.
constexpr std::uint8_t kReportDescriptor[] = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00,
                                              0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x40, 0x09, 0x01,
                                              0x81, 0x02, 0x95, 0x40, 0x09, 0x01, 0x91, 0x02, 0xC0};
constexpr const char *kUsbRoot = "/devices/pci0000:00/0000:00:14.0/usb1";
constexpr int kHidrawMajor = 240;
// How long taking back a token may wait for the pty to deliver it.
constexpr int kTokenWaitMs = 1000;

// A broken testbed is no test result: say why and stop.
[[noreturn]] void Fail(const std::string &what)
{
    std::fprintf(stderr, "hidraw testbed: %s\n", what.c_str());
    std::abort();
}

std::string Format(const char *format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    char *text = g_strdup_vprintf(format, args);
    va_end(args);
    std::string result = text;
    g_free(text);
    return result;
}

std::string DescriptorHex()
{
    std::string hex;
    for (const std::uint8_t byte : kReportDescriptor)
        hex += Format("%02X", byte);
    return hex;
}

std::string RootDir(UMockdevTestbed *testbed)
{
    char *root = umockdev_testbed_get_root_dir(testbed);
    std::string result = root;
    g_free(root);
    return result;
}
} // namespace

struct CHidrawTestbed::Impl {
    // One USB device: a module under one vendor/product pair.
    struct UsbDevice {
        CVirtualModule *module;
        std::uint16_t vendorId;
        std::uint16_t productId;
        int number; // its port: the device is 1-<number>
        std::string serial;
        int interfaces = 0;
        std::string path; // below /sys
    };
    // One hidraw node and the module behind it.
    struct Node {
        CVirtualModule *module;
        std::string sysPath; // its hidraw class device, below /sys
        int masterFd = -1; // umockdev's end of the node's pty: tokens go in here
        int tokenFd = -1;  // our own open of the node: tokens are taken back here
        std::size_t tokens = 0;
        bool hungUp = false; // pulled out: the node reports a hang-up
    };

    UMockdevTestbed *testbed = nullptr;
    UMockdevIoctlBase *handler = nullptr;
    std::vector<UsbDevice> devices;
    std::map<std::string, Node> nodes; // by node path
    // A module keeps its serial number when plugged in again.
    std::map<const CVirtualModule *, std::string> serials;
    std::map<const CVirtualModule *, int> pullAfter; // the report count at which a module is pulled
    std::string lastWritten;
    std::vector<const CVirtualModule *> refusingQueries;
    std::mutex lock; // the handlers and the testbed's own calls take turns
    int nextDevice = 1;
    int nextHid = 1;
    int nextHidraw = 0;

    UsbDevice &DeviceFor(CVirtualModule &module, std::uint16_t vendorId, std::uint16_t productId);
    void AddFromString(const std::string &description);
    void Unplug(CVirtualModule &module);
    Node &NodeOf(UMockdevIoctlClient *client);
    void SyncTokens(Node &node);
    static void HangUp(Node &node);

    static gboolean OnIoctl(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer self);
    static gboolean OnWrite(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer self);
    static gboolean OnRead(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer self);
};

void CHidrawTestbed::Impl::AddFromString(const std::string &description)
{
    GError *error = nullptr;
    if (!umockdev_testbed_add_from_string(testbed, description.c_str(), &error))
        Fail(std::string("cannot add devices: ") + error->message);
}

CHidrawTestbed::Impl::UsbDevice &CHidrawTestbed::Impl::DeviceFor(CVirtualModule &module, std::uint16_t vendorId,
                                                                 std::uint16_t productId)
{
    for (UsbDevice &device : devices) {
        if (device.module == &module && device.vendorId == vendorId && device.productId == productId)
            return device;
    }
    // A module plugged in again is a new USB device, as it is for the kernel.
    const int number = nextDevice++;
    const std::string serial = serials.emplace(&module, Format("EMU%04d", number)).first->second;
    UsbDevice device{&module, vendorId, productId, number, serial, 0, Format("%s/1-%d", kUsbRoot, number)};
    AddFromString(Format("P: %s\n"
                         "E: DEVTYPE=usb_device\nE: DRIVER=usb\nE: PRODUCT=%x/%x/100\nE: TYPE=0/0/0\n"
                         "E: BUSNUM=001\nE: DEVNUM=%03d\nE: SUBSYSTEM=usb\n"
                         "A: idVendor=%04x\\n\nA: idProduct=%04x\\n\nA: bcdDevice=0100\\n\n"
                         "A: manufacturer=Tavrin Test\\n\nA: product=Emulated Key Module\\n\n"
                         "A: serial=%s\\n\nA: busnum=1\\n\nA: devnum=%d\\n\n",
                         device.path.c_str(), vendorId, productId, number + 1, vendorId, productId, serial.c_str(),
                         number + 1));
    devices.push_back(device);
    return devices.back();
}

CHidrawTestbed::CHidrawTestbed() : m_pImpl(std::make_unique<Impl>())
{
    m_pImpl->testbed = umockdev_testbed_new();
    m_pImpl->handler = umockdev_ioctl_base_new();
    g_signal_connect(m_pImpl->handler, "handle-ioctl", G_CALLBACK(&Impl::OnIoctl), m_pImpl.get());
    g_signal_connect(m_pImpl->handler, "handle-write", G_CALLBACK(&Impl::OnWrite), m_pImpl.get());
    g_signal_connect(m_pImpl->handler, "handle-read", G_CALLBACK(&Impl::OnRead), m_pImpl.get());
}

CHidrawTestbed::~CHidrawTestbed()
{
    for (auto &[path, node] : m_pImpl->nodes) {
        umockdev_testbed_detach_ioctl(m_pImpl->testbed, path.c_str(), nullptr);
        close(node.tokenFd);
    }
    g_object_unref(m_pImpl->handler);
    g_object_unref(m_pImpl->testbed);
}

bool CHidrawTestbed::IsAvailable()
{
    // The answer is cached on first use and is only right once a testbed exists.
    UMockdevTestbed *probe = umockdev_testbed_new();
    const bool available = umockdev_in_mock_environment();
    g_object_unref(probe);
    return available;
}

std::string CHidrawTestbed::AddInterface(CVirtualModule &module, std::uint16_t vendorId, std::uint16_t productId,
                                         int interfaceNumber)
{
    Impl &impl = *m_pImpl;
    const std::lock_guard guard(impl.lock);
    module.faults.absent = false;
    Impl::UsbDevice &device = impl.DeviceFor(module, vendorId, productId);
    // Sysfs names sort in the order of adding, and that is the order enumeration lists them in.
    const std::string usbInterface = Format("%s/1-%d:1.%d", device.path.c_str(), device.number, device.interfaces++);
    const std::string hidName = Format("0003:%04X:%04X.%04X", vendorId, productId, impl.nextHid++);
    const int minor = impl.nextHidraw++;
    const std::string node = Format("/dev/hidraw%d", minor);
    // The node answers before it is announced: a process that opens it on the announcement must
    // find its handler there.
    GError *error = nullptr;
    if (!umockdev_testbed_attach_ioctl(impl.testbed, node.c_str(), impl.handler, &error))
        Fail(node + ": " + error->message);
    impl.AddFromString(Format("P: %s\n"
                              "E: DEVTYPE=usb_interface\nE: DRIVER=usbhid\nE: PRODUCT=%x/%x/100\n"
                              "E: INTERFACE=3/0/0\nE: SUBSYSTEM=usb\n"
                              "A: bInterfaceNumber=%02x\\n\nA: bInterfaceClass=03\\n\nA: bAlternateSetting= 0\\n\n"
                              "\n"
                              "P: %s/%s\n"
                              "E: DRIVER=hid-generic\nE: HID_ID=0003:%08X:%08X\nE: HID_NAME=Emulated Key Module\n"
                              "E: HID_PHYS=usb-0000:00:14.0-%d/input%d\nE: HID_UNIQ=%s\n"
                              "E: MODALIAS=hid:b0003g0001v%08Xp%08X\nE: SUBSYSTEM=hid\n"
                              "H: report_descriptor=%s\n"
                              "\n"
                              "P: %s/%s/hidraw/hidraw%d\n"
                              "N: hidraw%d\nE: DEVNAME=%s\nE: MAJOR=%d\nE: MINOR=%d\nE: SUBSYSTEM=hidraw\n"
                              "A: dev=%d:%d\\n\nL: device=../../../%s\n",
                              usbInterface.c_str(), vendorId, productId, interfaceNumber, usbInterface.c_str(),
                              hidName.c_str(), vendorId, productId, device.number, interfaceNumber,
                              device.serial.c_str(), vendorId, productId, DescriptorHex().c_str(), usbInterface.c_str(),
                              hidName.c_str(), minor, minor, node.c_str(), kHidrawMajor, minor, kHidrawMajor, minor,
                              hidName.c_str()));

    Impl::Node entry{&module, Format("/sys%s/%s/hidraw/hidraw%d", usbInterface.c_str(), hidName.c_str(), minor)};
    entry.masterFd = umockdev_testbed_get_dev_fd(impl.testbed, node.c_str());
    // Opened through the testbed's own folder, which umockdev does not redirect: the pty itself.
    const std::string pty = RootDir(impl.testbed) + node;
    entry.tokenFd = open(pty.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (entry.masterFd < 0 || entry.tokenFd < 0)
        Fail(node + ": no pty behind the node");
    impl.nodes.emplace(node, entry);
    return node;
}

void CHidrawTestbed::Unplug(CVirtualModule &module)
{
    const std::lock_guard guard(m_pImpl->lock);
    m_pImpl->Unplug(module);
}

void CHidrawTestbed::Impl::Unplug(CVirtualModule &module)
{
    Impl &impl = *this;
    module.faults.absent = true;
    pullAfter.erase(&module);
    // The kernel announces each node's removal while its entries are still there to describe it.
    for (auto &[path, node] : impl.nodes) {
        if (node.module == &module && !node.sysPath.empty()) {
            umockdev_testbed_uevent(impl.testbed, node.sysPath.c_str(), "remove");
            node.sysPath.clear();
        }
    }
    for (const Impl::UsbDevice &device : impl.devices) {
        if (device.module == &module)
            umockdev_testbed_remove_device(impl.testbed, ("/sys" + device.path).c_str());
    }
    std::erase_if(impl.devices, [&](const Impl::UsbDevice &device) { return device.module == &module; });
    for (auto &[path, node] : impl.nodes) {
        if (node.module == &module)
            HangUp(node);
    }
}

// A pulled-out node hangs up, as hidraw's does: poll() reports it at once, and a process watching
// it (Wine's HID bus, hidapi's read) lets it go instead of reading it again and again. The pty's
// master end goes, which is what a hang-up is to its other end; umockdev's descriptor for it stays
// valid, on /dev/null.
void CHidrawTestbed::Impl::HangUp(Node &node)
{
    if (node.hungUp)
        return;
    const int null = open("/dev/null", O_RDWR | O_CLOEXEC);
    if (null < 0 || dup2(null, node.masterFd) < 0)
        Fail("cannot hang up a pulled node");
    close(null);
    node.hungUp = true;
}

void CHidrawTestbed::RefuseHidQueries(CVirtualModule &module)
{
    const std::lock_guard guard(m_pImpl->lock);
    m_pImpl->refusingQueries.push_back(&module);
}

void CHidrawTestbed::SetSerial(const CVirtualModule &module, const std::string &serial)
{
    const std::lock_guard guard(m_pImpl->lock);
    m_pImpl->serials[&module] = serial;
}

void CHidrawTestbed::PullAfterReports(CVirtualModule &module, int reports)
{
    const std::lock_guard guard(m_pImpl->lock);
    m_pImpl->pullAfter[&module] = module.Writes() + reports;
}

void CHidrawTestbed::RemoveInterface(const std::string &node)
{
    const std::lock_guard guard(m_pImpl->lock);
    Impl::Node &entry = m_pImpl->nodes.at(node);
    umockdev_testbed_uevent(m_pImpl->testbed, entry.sysPath.c_str(), "remove");
    // The hidraw class device lies three levels below its USB interface.
    std::string usbInterface = entry.sysPath;
    for (int level = 0; level < 3; ++level)
        usbInterface.erase(usbInterface.rfind('/'));
    umockdev_testbed_remove_device(m_pImpl->testbed, usbInterface.c_str());
    entry.sysPath.clear();
}

int CHidrawTestbed::ReportsReceived(const CVirtualModule &module) const
{
    const std::lock_guard guard(m_pImpl->lock);
    return module.Writes();
}

bool CHidrawTestbed::IsPlugged(const CVirtualModule &module) const
{
    const std::lock_guard guard(m_pImpl->lock);
    return std::any_of(m_pImpl->devices.begin(), m_pImpl->devices.end(),
                       [&](const Impl::UsbDevice &device) { return device.module == &module; });
}

std::string CHidrawTestbed::LastWrittenNode() const
{
    const std::lock_guard guard(m_pImpl->lock);
    return m_pImpl->lastWritten;
}

CHidrawTestbed::Impl::Node &CHidrawTestbed::Impl::NodeOf(UMockdevIoctlClient *client)
{
    const auto it = nodes.find(umockdev_ioctl_client_get_devnode(client));
    if (it == nodes.end())
        Fail(std::string("call on an unknown node ") + umockdev_ioctl_client_get_devnode(client));
    return it->second;
}

// The node carries one token per input report a read would get now, so poll() wakes exactly when
// hidraw's would. A module that is gone while still listed keeps one token up, so the read fails
// at once instead of waiting; a pulled node has hung up instead.
void CHidrawTestbed::Impl::SyncTokens(Node &node)
{
    if (node.hungUp)
        return;
    const CVirtualModule &module = *node.module;
    std::size_t wanted = module.faults.readTimeout ? 0 : module.PendingInput();
    if (!module.IsPresent())
        wanted = 1;
    for (; node.tokens < wanted; ++node.tokens) {
        if (write(node.masterFd, "R", 1) != 1)
            Fail("cannot announce an input report");
    }
    for (; node.tokens > wanted; --node.tokens) {
        pollfd ready{node.tokenFd, POLLIN, 0};
        char token = 0;
        if (poll(&ready, 1, kTokenWaitMs) != 1 || read(node.tokenFd, &token, 1) != 1)
            Fail("cannot take back an input report's token");
    }
}

gboolean CHidrawTestbed::Impl::OnIoctl(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer self)
{
    Impl &impl = *static_cast<Impl *>(self);
    const std::lock_guard guard(impl.lock);
    const CVirtualModule *module = impl.NodeOf(client).module;
    if (std::find(impl.refusingQueries.begin(), impl.refusingQueries.end(), module) != impl.refusingQueries.end()) {
        umockdev_ioctl_client_complete(client, -1, ENOTTY);
        return TRUE;
    }
    // hid_open_path asks for the descriptor's size and gives up when it cannot get it.
    const gulong request = umockdev_ioctl_client_get_request(client);
    UMockdevIoctlData *argument = umockdev_ioctl_client_get_arg(client);
    GError *error = nullptr;
    if (request == HIDIOCGRDESCSIZE) {
        UMockdevIoctlData *size = umockdev_ioctl_data_resolve(argument, 0, sizeof(int), &error);
        if (!size) {
            g_clear_error(&error);
            umockdev_ioctl_client_complete(client, -1, EFAULT);
            return TRUE;
        }
        const int value = sizeof kReportDescriptor;
        std::memcpy(size->data, &value, sizeof value);
        g_object_unref(size);
        umockdev_ioctl_client_complete(client, 0, 0);
        return TRUE;
    }
    if (request == HIDIOCGRDESC) {
        UMockdevIoctlData *descriptor =
            umockdev_ioctl_data_resolve(argument, 0, sizeof(hidraw_report_descriptor), &error);
        if (!descriptor) {
            g_clear_error(&error);
            umockdev_ioctl_client_complete(client, -1, EFAULT);
            return TRUE;
        }
        auto *out = reinterpret_cast<hidraw_report_descriptor *>(descriptor->data);
        out->size = std::min<__u32>(out->size, sizeof kReportDescriptor);
        std::memcpy(out->value, kReportDescriptor, out->size);
        g_object_unref(descriptor);
        umockdev_ioctl_client_complete(client, 0, 0);
        return TRUE;
    }
    umockdev_ioctl_client_complete(client, -1, ENOTTY);
    return TRUE;
}

gboolean CHidrawTestbed::Impl::OnWrite(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer self)
{
    Impl &impl = *static_cast<Impl *>(self);
    const std::lock_guard guard(impl.lock);
    Node &node = impl.NodeOf(client);
    UMockdevIoctlData *argument = umockdev_ioctl_client_get_arg(client);
    impl.lastWritten = umockdev_ioctl_client_get_devnode(client);
    const int result = node.module->Write(argument->data, static_cast<std::size_t>(argument->data_len));
    const auto pull = impl.pullAfter.find(node.module);
    if (pull != impl.pullAfter.end() && node.module->Writes() >= pull->second)
        impl.Unplug(*node.module); // the report was taken just before the module went
    impl.SyncTokens(node);
    if (result < 0)
        umockdev_ioctl_client_complete(client, -1, node.module->IsPresent() ? EIO : ENODEV);
    else
        umockdev_ioctl_client_complete(client, result, 0);
    return TRUE;
}

gboolean CHidrawTestbed::Impl::OnRead(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer self)
{
    Impl &impl = *static_cast<Impl *>(self);
    const std::lock_guard guard(impl.lock);
    Node &node = impl.NodeOf(client);
    UMockdevIoctlData *argument = umockdev_ioctl_client_get_arg(client);
    // The buffer goes back to the caller when the call completes.
    const int result = node.module->Read(argument->data, static_cast<std::size_t>(argument->data_len));
    impl.SyncTokens(node);
    if (result > 0)
        umockdev_ioctl_client_complete(client, result, 0);
    else if (result == 0) // nothing there: what a non-blocking hidraw read says, and hidapi reads 0
        umockdev_ioctl_client_complete(client, -1, EAGAIN);
    else
        umockdev_ioctl_client_complete(client, -1, node.module->IsPresent() ? EIO : ENODEV);
    return TRUE;
}

void AddStandardModule(CHidrawTestbed &testbed, CVirtualModule &module)
{
    testbed.AddInterface(module, 0x0B05, 0x185F, 1);
    testbed.AddInterface(module, 0x0B05, 0x185F, 2);
}
