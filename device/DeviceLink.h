#pragma once

#include "device/CommandBlock.h"
#include "device/HidBackend.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

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

// An interface of a module present on the machine.
struct ModuleInterface {
    HidDeviceInfo info;
    int searchOrder = -1; // where a search tries it; -1 when a search never does
};

// Which module a search may open when several are plugged in: the interface at this node, or the
// interfaces with this serial number. Empty parts choose nothing; all empty, any module.
struct ModuleChoice {
    std::string node;
    std::string serial;
    bool Accepts(const HidDeviceInfo &info) const
    {
        return (node.empty() || info.path == node) && (serial.empty() || info.serial == serial);
    }
};

// One enumeration: every interface with a vendor/product pair of the search list that the choice
// accepts, in enumeration order. For each entry of the search list, the first interface that
// matches it is the one a search tries, at that entry's place.
std::vector<ModuleInterface> ListModuleInterfaces(IHidBackend &backend, const ModuleChoice &choice = {});

// Opens the first of these interfaces that opens, in search order, and tells failed() about each
// one tried before it. The device is nullptr when none opens.
struct OpenedInterface {
    HidHandle device = nullptr;
    std::string path;
    std::string serial;
};
OpenedInterface OpenInSearchOrder(IHidBackend &backend, const std::vector<ModuleInterface> &interfaces,
                            const std::function<void(const ModuleInterface &)> &failed);

// What a search found. The search says nothing itself beyond the library's start-up failure; its
// caller words the outcome (the window's button as a message, a search on arrival as a log line).
enum class SearchStatus { Opened, Absent, AccessDenied };
struct SearchResult {
    SearchStatus status = SearchStatus::Absent;
    bool initFailed = false; // hid_init reported failure; the search went on anyway
    // The first interface the search tried that was there but did not open, and the library's
    // words for why: a module present that cannot be used, as opposed to none at all.
    std::string refusedPath;
    std::string refusedError;
};

// The module's output report: the report-ID byte plus 64 bytes. Linux hidraw sends short writes
// as they are, so every report is padded to this size before it goes out.
inline constexpr std::size_t kOutputReportSize = 65;
// Largest piece of a data phase.
inline constexpr std::size_t kPieceSize = 64;
// How long a data-phase read waits for its input report.
inline constexpr int kReadTimeoutMs = 1000;

// Where a command failed: its block, or a piece of its data phase going out or coming in.
enum class TransportFailure { CommandWrite, DataWrite, DataRead };
// The window's own words for each; the default way a link tells of a failure.
void ShowTransportFailure(TransportFailure failure);

// The one connection to the module: the device handle and the command transport over it.
class CDeviceLink {
public:
    explicit CDeviceLink(IHidBackend &backend);
    ~CDeviceLink();
    CDeviceLink(const CDeviceLink &) = delete;
    CDeviceLink &operator=(const CDeviceLink &) = delete;

    // hid_init, then one enumeration and the search list in order; the handle of an earlier search is closed and
    // replaced. Shows nothing.
    SearchResult Search();
    // The same, showing "设备初始化失败" when hid_init fails. True when an interface was opened.
    bool OpenModule();
    // After a search that opened nothing: whether a matching interface was there but the user
    // may not open it.
    bool AccessDenied() const { return m_bAccessDenied; }
    // The module is gone: its handle is closed, so nothing is sent to a stale one.
    void Close();
    // The searches that follow open only the module chosen.
    void Choose(ModuleChoice choice) { m_choice = std::move(choice); }

    // Sends one command and its data phase over the open handle; the result of the last HID call
    // (negative after a failure already shown, 0 when a read timed out or its report came short).
    int SendCommand(CommandBlock block, std::uint8_t *data);

    // Replaces how failures are told (an adapter with its own words); an empty function says nothing.
    void SetFailureReport(std::function<void(TransportFailure)> report) { m_report = std::move(report); }

    bool IsOpen() const { return m_hDevice != nullptr; }
    // The path of the interface the last search opened.
    const std::string &OpenPath() const { return m_strPath; }
    // Its module's serial number; empty when it has none.
    const std::string &OpenSerial() const { return m_strSerial; }
    IHidBackend &Backend() { return m_backend; }

private:
    int WritePadded(const std::uint8_t *data, std::size_t length);
    int Fail(TransportFailure failure, int result);

    IHidBackend &m_backend;
    HidHandle m_hDevice = nullptr;
    std::string m_strPath;
    std::string m_strSerial;
    bool m_bAccessDenied = false;
    ModuleChoice m_choice;
    std::function<void(TransportFailure)> m_report = ShowTransportFailure;
};
