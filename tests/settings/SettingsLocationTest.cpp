#include "SettingsTestFiles.h"

#include "common/ControlIds.h"
#include "resources/MainTemplate.h"
#include "settings/ModuleSettings.h"
#include "support/MapDlgControls.h"
#include "support/RecordingSink.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {
TEST(SettingsLocation, TheUsersFileIsInTheConfigurationFolder)
{
    const SettingsLocation location = SettingsLocationFor("/usr/lib/tavrin", "/home/u/.config");
    EXPECT_EQ(location.strShippedPath, "/usr/lib/tavrin/confight.ini");
    EXPECT_EQ(location.strUserPath, "/home/u/.config/tavrin/confight.ini");
    // Without a configuration folder there is nowhere else to go.
    EXPECT_TRUE(SettingsLocationFor("/usr/lib/tavrin", "").strUserPath.empty());
    EXPECT_EQ(FindSettingsLocation().strShippedPath, SettingsFilePath());
}

// A system-wide install: the shipped file in a folder the user may not write, the user's own
// file in the configuration folder.
class InstalledSettingsTest : public testing::Test {
protected:
    void SetUp() override
    {
        g_moduleSettings = ModuleSettings{};
        controls.SetLists(MainDlgTemplate());
        fs::create_directories(folder.Path() / "install");
        WriteBytes(shipped, CrLf({"[int]", "KeyHold=" + Scrambled("1"), "KeyDelay=" + Scrambled("40"),
                                  "KeyNum=" + Scrambled("6"), "[String]", "man=" + Scrambled("示例科技有限公司")}));
    }

    void CloseWith(int nHold, const std::string &strDelay, bool bConfigFound = true)
    {
        controls.SetCurSel(MainId::kBaudRate, 0);
        controls.SetCurSel(MainId::kWorkMode, 2);
        controls.SetCurSel(MainId::kTriggerLevel, 0);
        controls.SetCurSel(MainId::kLongPress, nHold);
        controls.SetDlgItemText(MainId::kDebounce, strDelay);
        SaveSettings(controls, bConfigFound);
    }

    CTempFolder folder;
    std::string shipped = folder.File("install/confight.ini");
    std::string user = folder.File("config/tavrin/confight.ini");
    SettingsLocation location{shipped, user};
    CRecordingSink sink;
    CMapDlgControls controls;
};

TEST_F(InstalledSettingsTest, SavesGoToTheUsersFileAndAreReadBackFirst)
{
    const std::string shippedBytes = ReadBytes(shipped);
    ASSERT_TRUE(LoadSettings(controls, location));
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(g_moduleSettings.m_nKeyDelay, 40);
    EXPECT_FALSE(fs::exists(user));

    CloseWith(0, "25");
    EXPECT_EQ(ReadBytes(shipped), shippedBytes);
    ASSERT_TRUE(fs::exists(user));

    g_moduleSettings = ModuleSettings{};
    ASSERT_TRUE(LoadSettings(controls, location));
    EXPECT_EQ(g_moduleSettings.m_nKeyHold, 0);
    EXPECT_EQ(g_moduleSettings.m_nKeyDelay, 25);
    EXPECT_EQ(g_moduleSettings.m_nKeyNum, 6);
    EXPECT_EQ(controls.GetDlgItemText(MainId::kMaker), "示例科技有限公司");
    EXPECT_EQ(ReadBytes(shipped), shippedBytes);
}

TEST_F(InstalledSettingsTest, WhatTheUsersFileLacksComesFromTheShippedFile)
{
    fs::create_directories(fs::path(user).parent_path());
    WriteBytes(user, CrLf({"[int]", "KeyDelay=" + Scrambled("30")}));
    ASSERT_TRUE(LoadSettings(controls, location));
    EXPECT_EQ(g_moduleSettings.m_nKeyDelay, 30);
    EXPECT_EQ(g_moduleSettings.m_nKeyHold, 1);
    EXPECT_EQ(g_moduleSettings.m_nKeyNum, 6);
    EXPECT_EQ(g_moduleSettings.m_strMaker, "示例科技有限公司");
    EXPECT_EQ(g_moduleSettings.m_nWorkMode, 2); // in neither file: the default
}

TEST_F(InstalledSettingsTest, WithoutAnyFileNothingIsCreated)
{
    fs::remove(shipped);
    EXPECT_FALSE(LoadSettings(controls, location));
    EXPECT_EQ(sink.messages, std::vector<std::string>{"配置文件丢失,请检查!"});
    EXPECT_EQ(g_moduleSettings.m_nKeyNum, 0);
    CloseWith(0, "25", false);
    EXPECT_FALSE(fs::exists(user));
}
} // namespace
