#pragma once

// A tavrin-cli run that writes one module and logs it, for the module log's tests.
#include "device/HidBackend.h"
#include "sim/VirtualHidBackend.h"
#include "sim/VirtualModule.h"
#include "support/CliRun.h"
#include "support/RecordingSink.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

// The virtual module's backend, where the first write to the module brings the second Ctrl-C.
class CInterruptingBackend final : public IHidBackend {
public:
    explicit CInterruptingBackend(IHidBackend &backend) : m_backend(backend) {}
    std::function<void()> lastWords;

    int Init() override { return m_backend.Init(); }
    std::vector<HidDeviceInfo> Enumerate(std::uint16_t vendor, std::uint16_t product) override
    {
        return m_backend.Enumerate(vendor, product);
    }
    HidHandle OpenPath(const std::string &path) override { return m_backend.OpenPath(path); }
    bool LastOpenDenied() const override { return m_backend.LastOpenDenied(); }
    int Write(HidHandle device, const std::uint8_t *data, std::size_t length) override
    {
        if (lastWords)
            std::exchange(lastWords, nullptr)();
        return m_backend.Write(device, data, length);
    }
    int ReadTimeout(HidHandle device, std::uint8_t *data, std::size_t length, int milliseconds) override
    {
        return m_backend.ReadTimeout(device, data, length, milliseconds);
    }
    void Close(HidHandle device) override { m_backend.Close(device); }
    std::string Error(HidHandle device) override { return m_backend.Error(device); }

private:
    IHidBackend &m_backend;
};

struct LineRun {
    CRecordingSink sink;
    CVirtualModule module;
    CVirtualHidBackend virtualBackend;
    CInterruptingBackend backend{virtualBackend};
    std::string printed;
    std::function<void(std::function<void()>)> setLastWords;
    LineRun() { module.SetMarker(CVirtualModule::kValidMarker), AddStandardModule(virtualBackend, module); }
    int operator()(const std::string &log)
    {
        CliEnvironment environment{backend, 8, [](int) {}, [] { return false; }};
        environment.setLastWords = setLastWords;
        return RunCliCollecting({"apply", KeyMapFile("KEY-1 = ENTER\n"), "--each", "--count=1", "--log", log},
                                environment, printed);
    }
};

