#include "OtherUser.h"
#include "SettingsLocationTestParts.h"

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
TEST(SettingsLocation, TheUsersFileIsInTheConfigurationFolder)
{
    const SettingsLocation location = SettingsLocationFor("/usr/lib/tavrin", "/home/u/.config");
    EXPECT_EQ(location.strShippedPath, "/usr/lib/tavrin/confight.ini");
    EXPECT_EQ(location.strUserPath, "/home/u/.config/tavrin/confight.ini");
    // Without a configuration folder there is nowhere else to go.
    EXPECT_TRUE(SettingsLocationFor("/usr/lib/tavrin", "").strUserPath.empty());
    // The running program's own: the build keeps a settings file beside it, which comes first.
    const SettingsLocation found = FindSettingsLocation();
    EXPECT_TRUE(fs::equivalent(found.strShippedPath, fs::path(TAVRIN_TEST_BIN_DIR) / "confight.ini")) << found.strShippedPath;
    EXPECT_FALSE(found.bInstalled);
}

// Finding the settings writes nothing: a link planted under a probe's name is never followed.
TEST(SettingsLocation, FindingItCreatesNoFile)
{
    CTempFolder folder;
    const fs::path victim = folder.Path() / "victim";
    WriteBytes(victim, "precious");
    const fs::path planted = fs::path(TAVRIN_TEST_BIN_DIR) / ".tavrin-write-test";
    fs::create_symlink(victim, planted);
    FindSettingsLocation();
    fs::remove(planted);
    EXPECT_EQ(ReadBytes(victim), "precious");
}

// The user is another one than the files' owner, who may not write the installed folder.
class InstalledForOtherUserTest : public InstalledSettingsTest {
protected:
    void SetUp() override
    {
        InstalledSettingsTest::SetUp();
        GiveToOtherUser(folder.Path() / "config");
        if (geteuid() != 0)
            fs::permissions(folder.Path() / "install", fs::perms::owner_write, fs::perm_options::remove);
    }
};

// The user's file holds the five parameters only, so the deployer's later change of the key count
// and the header lines reaches the user.
TEST_F(InstalledForOtherUserTest, TheUsersFileHoldsOnlyTheParametersAndTheDeployerKeepsTheRest)
{
    const std::string shippedBytes = ReadBytes(shipped);
    ASSERT_TRUE(RunAsOtherUser([&] { return OpenAndClose(0, "25"); }));
    EXPECT_EQ(ReadBytes(shipped), shippedBytes);
    EXPECT_EQ(ReadBytes(user), CrLf(kFiveParameters));

    WriteShipped("10", "新公司");
    ASSERT_TRUE(RunAsOtherUser([&] {
        const ModuleSettings &s = g_moduleSettings;
        return LoadSettings(controls, location) && s.m_nKeyNum == 10 && s.m_strMaker == "新公司" &&
               s.m_nKeyDelay == 25 && s.m_nKeyHold == 0 && controls.GetDlgItemText(MainId::kMaker) == "新公司";
    }));
}

// The folder lets everyone create files but not replace another's (as /tmp does), so the
// permissions allow the save and the rename refuses it: the save goes to the user's file.
TEST_F(InstalledForOtherUserTest, ASaveTheShippedFileRefusesGoesToTheUsersFile)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs a file of another owner";
    fs::permissions(folder.Path() / "install", fs::perms::all | fs::perms::sticky_bit);
    fs::permissions(shipped, fs::perms::all);
    const std::string shippedBytes = ReadBytes(shipped);
    ASSERT_TRUE(RunAsOtherUser([&] { return OpenAndClose(0, "25"); }));
    EXPECT_EQ(ReadBytes(shipped), shippedBytes);
    EXPECT_EQ(ReadBytes(user), CrLf(kFiveParameters));
}

TEST_F(InstalledForOtherUserTest, AUsersFileThatCannotBeKeptIsReportedAndLeftAlone)
{
    fs::create_directories(fs::path(user).parent_path());
    ASSERT_EQ(mkfifo(user.c_str(), 0600), 0);
    ASSERT_TRUE(LoadSettings(controls, location));
    EXPECT_EQ(g_moduleSettings.m_nKeyNum, 6);
    controls.SetCurSel(MainId::kLongPress, 0);
    SaveSettings(controls, true);
    EXPECT_EQ(sink.messages, (std::vector<std::string>{"配置文件不是普通文件：" + user,
                                                       "参数未保存，配置文件不是普通文件：" + user}));
    EXPECT_EQ(fs::status(user).type(), fs::file_type::fifo);
}
} // namespace
