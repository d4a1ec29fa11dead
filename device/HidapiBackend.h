#pragma once

#include "device/HidBackend.h"

// The production backend: forwards every call to hidapi.
class CHidapiBackend final : public IHidBackend {
public:
    CHidapiBackend() = default;
    ~CHidapiBackend() override;
    CHidapiBackend(const CHidapiBackend &) = delete;
    CHidapiBackend &operator=(const CHidapiBackend &) = delete;

    int Init() override;
    std::vector<HidDeviceInfo> Enumerate(std::uint16_t vendorId, std::uint16_t productId) override;
    HidHandle OpenPath(const std::string &path) override;
    bool LastOpenDenied() const override { return m_bOpenDenied; }
    int Write(HidHandle device, const std::uint8_t *data, std::size_t length) override;
    int ReadTimeout(HidHandle device, std::uint8_t *data, std::size_t length, int milliseconds) override;
    void Close(HidHandle device) override;
    std::string Error(HidHandle device) override;

private:
    bool m_bInitialised = false;
    bool m_bOpenDenied = false;
    std::string m_strOpenError; // why the last OpenPath failed, in the system's words
};
