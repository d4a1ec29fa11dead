#pragma once

#include "device/CommandBlock.h"
#include "device/HidBackend.h"

#include <cstdint>

// One vendor/product/interface triple of the search list.
struct ModuleInterfaceId {
    std::uint16_t vendorId;
    std::uint16_t productId;
    int interfaceNumber;
};

// The search list, in the order the interfaces are tried: for each product, interface 2 first.
inline constexpr ModuleInterfaceId kSearchList[] = {
    {0x0B05, 0x185F, 2},
    {0x0B05, 0x185F, 1},
    {0x2B05, 0x285F, 2},
    {0x2B05, 0x285F, 1},
};

// The module's output report: the report-ID byte plus 64 bytes. Linux hidraw sends short writes
// as they are, so every report is padded to this size before it goes out.
inline constexpr std::size_t kOutputReportSize = 65;
// Largest piece of a data phase.
inline constexpr std::size_t kPieceSize = 64;
// How long a data-phase read waits for its input report.
inline constexpr int kReadTimeoutMs = 1000;

// The one connection to the module: the device handle and the command transport over it.
class CDeviceLink {
public:
    explicit CDeviceLink(IHidBackend &backend);
    ~CDeviceLink();
    CDeviceLink(const CDeviceLink &) = delete;
    CDeviceLink &operator=(const CDeviceLink &) = delete;

    // Opens the first enumerated interface whose identifiers all match; nullptr when none does.
    HidHandle OpenInterface(std::uint16_t vendorId, std::uint16_t productId, int interfaceNumber);

    // hid_init, then the search list in order; the handle of an earlier search is closed and
    // replaced. Shows "设备初始化失败" when hid_init fails. True when an interface was opened.
    bool OpenModule();
    // After a search that opened nothing: whether a matching interface was there but the user
    // may not open it.
    bool AccessDenied() const { return m_bAccessDenied; }

    // Sends one command and its data phase over the open handle; the result of the last HID call
    // (negative after a failure already shown, 0 when the last read timed out).
    int SendCommand(CommandBlock block, std::uint8_t *data);

    bool IsOpen() const { return m_hDevice != nullptr; }
    IHidBackend &Backend() { return m_backend; }

private:
    int WritePadded(const std::uint8_t *data, std::size_t length);
    void CloseHandle();

    IHidBackend &m_backend;
    HidHandle m_hDevice = nullptr;
    bool m_bAccessDenied = false;
};
