#pragma once

#include "HidrawTestbed.h"
#include "common/ControlIds.h"
#include "device/DeviceLink.h"
#include "device/HidapiBackend.h"
#include "support/MapDlgControls.h"
#include "support/RecordingSink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <vector>

inline constexpr const char *kBlockWriteFailed = "写命令错误，请检查模块是否在线，或者重新点击查找设备再试。";

// A fresh emulated testbed with the production backend and the device link over it. The modules
// are declared before the testbed that points at them, and the link after the backend it uses, so
// everything is torn down in a safe order.
class CHidrawTest : public testing::Test {
protected:
    // The device-operation buttons are all in this state.
    bool ButtonsEnabled(bool expected) const
    {
        return std::all_of(std::begin(MainId::kDeviceButtons), std::end(MainId::kDeviceButtons),
                           [&](int id) { return controls.IsWindowEnabled(id) == expected; });
    }

    // Every output report the module got is the full 65-byte report with report ID 0.
    static void ExpectFullReports(const CVirtualModule &module)
    {
        for (const auto &report : module.Reports()) {
            EXPECT_EQ(report.size(), CVirtualModule::kReportSize);
            EXPECT_EQ(report.at(0), 0x00);
        }
    }

    template <typename Action>
    static std::chrono::milliseconds TimeOf(Action action)
    {
        const auto start = std::chrono::steady_clock::now();
        action();
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    }

    CRecordingSink sink;
    CMapDlgControls controls;
    CVirtualModule module;
    CVirtualModule other;
    CHidrawTestbed testbed;
    CHidapiBackend backend;
    CDeviceLink link{backend};
};
