#pragma once

// The fixture of the settings' two files, shared by the tests on every system and the POSIX ones.
#include "SettingsTestFiles.h"

#include "common/ControlIds.h"
#include "resources/MainTemplate.h"
#include "settings/ModuleSettings.h"
#include "support/MapDlgControls.h"
#include "support/RecordingSink.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

// A system-wide install: the shipped file in a folder of its own, the user's own file in the
// configuration folder.
class InstalledSettingsTest : public testing::Test {
protected:
    void SetUp() override
    {
        g_moduleSettings = ModuleSettings{};
        controls.SetLists(MainDlgTemplate());
        std::filesystem::create_directories(folder.Path() / "install");
        std::filesystem::create_directories(folder.Path() / "config");
        WriteShipped("6", "示例科技有限公司");
    }

    void TearDown() override
    {
        std::filesystem::permissions(folder.Path() / "install", std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add);
    }

    void WriteShipped(const std::string &keyNum, const std::string &maker)
    {
        WriteBytes(shipped, CrLf({"[int]", "KeyHold=" + Scrambled("1"), "KeyDelay=" + Scrambled("40"),
                                  "KeyNum=" + Scrambled(keyNum), "[String]", "man=" + Scrambled(maker)}));
    }

    // The window opened and closed by the user with long-press and debounce set.
    bool OpenAndClose(int nHold, const std::string &strDelay)
    {
        if (!LoadSettings(controls, location))
            return false;
        controls.SetCurSel(MainId::kBaudRate, 0);
        controls.SetCurSel(MainId::kWorkMode, 2);
        controls.SetCurSel(MainId::kTriggerLevel, 0);
        controls.SetCurSel(MainId::kLongPress, nHold);
        controls.SetDlgItemText(MainId::kDebounce, strDelay);
        SaveSettings(controls, true);
        return sink.messages.empty();
    }

    CTempFolder folder;
    std::string shipped = folder.File("install/confight.ini");
    std::string user = folder.File("config/tavrin/confight.ini");
    SettingsLocation location{shipped, user};
    CRecordingSink sink;
    CMapDlgControls controls;
};

inline const std::vector<std::string> kFiveParameters = {"[int]",
                               "UartBaud=" + Scrambled("0"),
                               "WorkMode=" + Scrambled("2"),
                               "PinTring=" + Scrambled("0"),
                               "KeyHold=" + Scrambled("0"),
                               "KeyDelay=" + Scrambled("25")};

