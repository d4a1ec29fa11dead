#pragma once

#include "device/HidBackend.h"
#include "sim/VirtualModule.h"

#include <memory>
#include <string>
#include <vector>

// A HID backend over virtual modules: each added interface is one enumeration entry, listed in
// the order it was added, whatever its module.
class CVirtualHidBackend final : public IHidBackend {
public:
    CVirtualHidBackend();
    ~CVirtualHidBackend() override;
    CVirtualHidBackend(const CVirtualHidBackend &) = delete;
    CVirtualHidBackend &operator=(const CVirtualHidBackend &) = delete;

    // Lists an interface of a module; the path defaults to a unique made-up one.
    void AddInterface(CVirtualModule &module, std::uint16_t vendorId, std::uint16_t productId, int interfaceNumber,
                      std::string path = {}, std::string serial = {});

    int initResult = 0; // what hid_init reports
    int InitCalls() const { return m_nInitCalls; }
    int EnumerateCalls() const { return m_nEnumerateCalls; }
    // Handles opened and not yet closed.
    int OpenHandles() const { return static_cast<int>(m_handles.size()); }
    // The module behind an open handle, nullptr for anything else.
    CVirtualModule *ModuleOf(HidHandle device) const;

    int Init() override;
    std::vector<HidDeviceInfo> Enumerate(std::uint16_t vendorId, std::uint16_t productId) override;
    HidHandle OpenPath(const std::string &path) override;
    bool LastOpenDenied() const override { return m_bOpenDenied; }
    int Write(HidHandle device, const std::uint8_t *data, std::size_t length) override;
    int ReadTimeout(HidHandle device, std::uint8_t *data, std::size_t length, int milliseconds) override;
    void Close(HidHandle device) override;
    std::string Error(HidHandle device) override;

private:
    struct Entry {
        CVirtualModule *module;
        HidDeviceInfo info;
    };
    std::vector<Entry> m_entries;
    std::vector<std::unique_ptr<HidDevice>> m_handles;
    std::string m_lastError;
    bool m_bOpenDenied = false;
    int m_nInitCalls = 0;
    int m_nEnumerateCalls = 0;
};

// A module with a valid marker, listed as interfaces 1 and 2 of the first product: the one the
// demo and the end-to-end tests start from.
void AddStandardModule(CVirtualHidBackend &backend, CVirtualModule &module);
