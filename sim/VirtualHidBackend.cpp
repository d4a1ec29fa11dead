#include "sim/VirtualHidBackend.h"

#include <algorithm>

// A virtual handle: which module it reaches.
struct HidDevice {
    CVirtualModule *module;
};

CVirtualHidBackend::CVirtualHidBackend() = default;
CVirtualHidBackend::~CVirtualHidBackend() = default;

void CVirtualHidBackend::AddInterface(CVirtualModule &module, std::uint16_t vendorId, std::uint16_t productId,
                                      int interfaceNumber, std::string path, std::string serial)
{
    if (path.empty())
        path = "virtual/" + std::to_string(m_entries.size()) + "/if" + std::to_string(interfaceNumber);
    m_entries.push_back({&module, {std::move(path), vendorId, productId, interfaceNumber, std::move(serial)}});
}

CVirtualModule *CVirtualHidBackend::ModuleOf(HidHandle device) const
{
    const auto it = std::find_if(m_handles.begin(), m_handles.end(),
                                 [device](const auto &handle) { return handle.get() == device; });
    return it == m_handles.end() ? nullptr : (*it)->module;
}

int CVirtualHidBackend::Init()
{
    ++m_nInitCalls;
    return initResult;
}

std::vector<HidDeviceInfo> CVirtualHidBackend::Enumerate(std::uint16_t vendorId, std::uint16_t productId)
{
    ++m_nEnumerateCalls;
    std::vector<HidDeviceInfo> result;
    for (const auto &entry : m_entries) {
        // As hid_enumerate: 0 matches any vendor or product.
        const bool vendor = vendorId == 0 || entry.info.vendor_id == vendorId;
        const bool product = productId == 0 || entry.info.product_id == productId;
        if (entry.module->IsPresent() && vendor && product)
            result.push_back(entry.info);
    }
    return result;
}

HidHandle CVirtualHidBackend::OpenPath(const std::string &path)
{
    const auto it = std::find_if(m_entries.begin(), m_entries.end(),
                                 [&](const Entry &entry) { return entry.info.path == path; });
    m_bOpenDenied = false;
    if (it == m_entries.end() || !it->module->IsPresent()) {
        m_lastError = "No such device: " + path;
        return nullptr;
    }
    if (!it->module->AllowsOpen()) {
        m_bOpenDenied = true;
        m_lastError = "Permission denied: " + path;
        return nullptr;
    }
    m_handles.push_back(std::make_unique<HidDevice>(HidDevice{it->module}));
    return m_handles.back().get();
}

int CVirtualHidBackend::Write(HidHandle device, const std::uint8_t *data, std::size_t length)
{
    CVirtualModule *module = ModuleOf(device);
    return module ? module->Write(data, length) : -1;
}

int CVirtualHidBackend::ReadTimeout(HidHandle device, std::uint8_t *data, std::size_t length, int /*milliseconds*/)
{
    CVirtualModule *module = ModuleOf(device);
    return module ? module->Read(data, length) : -1;
}

void CVirtualHidBackend::Close(HidHandle device)
{
    std::erase_if(m_handles, [device](const auto &handle) { return handle.get() == device; });
}

std::string CVirtualHidBackend::Error(HidHandle /*device*/)
{
    return m_lastError;
}

void AddStandardModule(CVirtualHidBackend &backend, CVirtualModule &module)
{
    backend.AddInterface(module, 0x0B05, 0x185F, 1);
    backend.AddInterface(module, 0x0B05, 0x185F, 2);
}
