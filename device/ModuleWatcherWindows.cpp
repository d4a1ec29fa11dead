#include "device/HidInterfacePath.h"
#include "device/QueuedModuleWatcher.h"
#include "settings/Utf8Path.h"

#include <windows.h>

#include <cfgmgr32.h>
#include <dbt.h>
#include <setupapi.h>
extern "C" { // mingw's HID header declares its functions for C alone
#include <hidsdi.h>
}

#include <future>
#include <thread>

namespace {
// The device interface class of HID collections, the class hidapi lists and opens.
constexpr GUID kHidInterfaceClass = {0x4d1e55b2, 0xf16f, 0x11cf, {0x88, 0xcb, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
constexpr wchar_t kWindowClass[] = L"TavrinModuleWatcher";

std::string Utf8Of(const std::wstring &text)
{
    return Utf8FromPath(std::filesystem::path(text));
}

// A present HID interface: its path and the device node of its collection.
struct ListedInterface {
    std::wstring path;
    DEVINST node = 0;
};

std::vector<ListedInterface> ListHidInterfaces()
{
    std::vector<ListedInterface> listed;
    const HDEVINFO set =
        SetupDiGetClassDevsW(&kHidInterfaceClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE)
        return listed;
    SP_DEVICE_INTERFACE_DATA entry{};
    entry.cbSize = sizeof entry;
    for (DWORD index = 0; SetupDiEnumDeviceInterfaces(set, nullptr, &kHidInterfaceClass, index, &entry); ++index) {
        DWORD size = 0;
        SetupDiGetDeviceInterfaceDetailW(set, &entry, nullptr, 0, &size, nullptr);
        if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W))
            continue;
        std::vector<DWORD> buffer(size / sizeof(DWORD) + 1); // DWORD-aligned, as the detail's fields are
        auto *detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W *>(buffer.data());
        detail->cbSize = sizeof *detail;
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof device;
        if (SetupDiGetDeviceInterfaceDetailW(set, &entry, detail, size, nullptr, &device))
            listed.push_back({detail->DevicePath, device.DevInst});
    }
    SetupDiDestroyDeviceInfoList(set);
    return listed;
}

std::optional<ListedInterface> FindListed(const std::string &node)
{
    for (ListedInterface &listed : ListHidInterfaces()) {
        if (WatchedNode(Utf8Of(listed.path)) == node)
            return std::move(listed);
    }
    return std::nullopt;
}

// The USB device a HID collection hangs from: its interface's parent for a composite device, the
// interface's own device otherwise. Empty where the system does not say (Wine's device tree has
// no USB devices, and its CM_Get_Parent may fail).
std::string UsbDeviceOf(DEVINST node)
{
    for (int level = 0; level < 2; ++level) {
        DEVINST parent = 0;
        wchar_t id[MAX_DEVICE_ID_LEN + 1] = {};
        if (CM_Get_Parent(&parent, node, 0) != CR_SUCCESS ||
            CM_Get_Device_IDW(parent, id, MAX_DEVICE_ID_LEN, 0) != CR_SUCCESS)
            return {};
        if (IsUsbDeviceId(Utf8Of(id)))
            return Utf8Of(id);
        node = parent;
    }
    return {};
}

// The serial hidapi reports too, read on a handle without access rights, which needs no
// permission and works while another program has the interface open.
std::string SerialOf(const std::wstring &path)
{
    const HANDLE device =
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (device == INVALID_HANDLE_VALUE)
        return {};
    wchar_t serial[128] = {}; // a USB string holds at most 126 characters
    const bool read = HidD_GetSerialNumberString(device, serial, sizeof serial - sizeof serial[0]);
    CloseHandle(device);
    return read ? Utf8Of(serial) : std::string();
}

// What the system tells of an interface; without its device node (an interface gone again before
// it was listed), the module is named by its serial.
std::optional<InterfaceAnnouncement> AnnouncementOf(const std::wstring &path, std::optional<DEVINST> node)
{
    const std::optional<HidInterfacePath> parsed = ParseHidInterfacePath(Utf8Of(path));
    if (!parsed)
        return std::nullopt;
    return AnnouncementOfInterface(*parsed, node ? UsbDeviceOf(*node) : std::string(), SerialOf(path));
}

bool IsSearchedInterface(const std::wstring &path)
{
    const std::optional<HidInterfacePath> parsed = ParseHidInterfacePath(Utf8Of(path));
    return parsed && IsSearchedProduct(parsed->vendorId, parsed->productId);
}

std::vector<InterfaceAnnouncement> ListPresent()
{
    std::vector<InterfaceAnnouncement> present;
    for (const ListedInterface &listed : ListHidInterfaces()) {
        if (!IsSearchedInterface(listed.path))
            continue;
        if (std::optional<InterfaceAnnouncement> announcement = AnnouncementOf(listed.path, listed.node))
            present.push_back(std::move(*announcement));
    }
    return present;
}

// Device-interface notices for HID interfaces, taken on a thread of the watcher's own by a
// message-only window with its own message loop, and queued for the owner's thread. (The
// notification callbacks of cfgmgr32 would need no window, but Wine does not have them.)
class CWindowsModuleWatcher final : public CQueuedModuleWatcher {
public:
    CWindowsModuleWatcher()
    {
        if (!HasSignal())
            return;
        std::promise<bool> registered;
        std::future<bool> started = registered.get_future();
        // The thread keeps the promise: the answer is read while the thread still runs.
        m_thread = std::thread([this, registered = std::move(registered)]() mutable { Listen(registered); });
        if (!started.get())
            return;
        // Notices first, then the interfaces already there: a module plugged in between is not
        // lost, and one both listed and announced arrives once.
        for (InterfaceAnnouncement &announcement : ListPresent())
            Present(std::move(announcement));
        m_bStarted = true;
    }

    ~CWindowsModuleWatcher() override
    {
        if (m_nThreadId != 0)
            PostThreadMessageW(m_nThreadId, WM_QUIT, 0, 0);
        if (m_thread.joinable())
            m_thread.join();
    }

    CWindowsModuleWatcher(const CWindowsModuleWatcher &) = delete;
    CWindowsModuleWatcher &operator=(const CWindowsModuleWatcher &) = delete;

    bool Started() const { return m_bStarted; }

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            const auto *creation = reinterpret_cast<const CREATESTRUCTW *>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
        }
        auto *watcher = reinterpret_cast<CWindowsModuleWatcher *>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (watcher && message == WM_DEVICECHANGE) {
            watcher->OnDeviceChange(wParam, lParam);
            return TRUE;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    static bool RegisterWindowClass()
    {
        static const bool registered = [] {
            WNDCLASSEXW windowClass{};
            windowClass.cbSize = sizeof windowClass;
            windowClass.lpfnWndProc = WindowProcedure;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.lpszClassName = kWindowClass;
            return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
        }();
        return registered;
    }

    // The watcher's thread: the window, its notices, and its message loop until the watcher ends.
    void Listen(std::promise<bool> &registered)
    {
        const HWND window = RegisterWindowClass() ? CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                                                    nullptr, GetModuleHandleW(nullptr), this)
                                                  : nullptr;
        HDEVNOTIFY notices = nullptr;
        if (window) {
            DEV_BROADCAST_DEVICEINTERFACE_W filter{};
            filter.dbcc_size = sizeof filter;
            filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
            filter.dbcc_classguid = kHidInterfaceClass;
            notices = RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
        }
        if (!notices) {
            if (window)
                DestroyWindow(window);
            registered.set_value(false);
            return;
        }
        m_nThreadId = GetCurrentThreadId();
        registered.set_value(true);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0)
            DispatchMessageW(&message);
        UnregisterDeviceNotification(notices);
        DestroyWindow(window);
    }

    void OnDeviceChange(WPARAM kind, LPARAM data)
    {
        if ((kind != DBT_DEVICEARRIVAL && kind != DBT_DEVICEREMOVECOMPLETE) || !data)
            return;
        const auto *header = reinterpret_cast<const DEV_BROADCAST_HDR *>(data);
        if (header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE)
            return;
        const std::wstring path = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W *>(header)->dbcc_name;
        if (!IsSearchedInterface(path))
            return;
        if (kind == DBT_DEVICEREMOVECOMPLETE) {
            QueueRemoved(Utf8Of(path));
            return;
        }
        const auto now = CModuleSettler::Clock::now();
        const std::optional<ListedInterface> listed = FindListed(WatchedNode(Utf8Of(path)));
        if (std::optional<InterfaceAnnouncement> announcement =
                AnnouncementOf(path, listed ? std::optional<DEVINST>(listed->node) : std::nullopt))
            QueueAdded(std::move(*announcement), now);
    }

    std::thread m_thread;
    DWORD m_nThreadId = 0; // the thread's, once its window takes notices
    bool m_bStarted = false;
};
} // namespace

std::unique_ptr<IModuleWatcher> CreateModuleWatcher()
{
    auto watcher = std::make_unique<CWindowsModuleWatcher>();
    if (!watcher->Started())
        return nullptr;
    return watcher;
}

ModuleIdentity ModuleOfNode(const std::string &node)
{
    const std::optional<ListedInterface> listed = FindListed(WatchedNode(node));
    if (!listed)
        return {};
    const std::optional<InterfaceAnnouncement> announcement = AnnouncementOf(listed->path, listed->node);
    return announcement ? announcement->module : ModuleIdentity{};
}
