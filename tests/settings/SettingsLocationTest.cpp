#include "SettingsTestFiles.h"

#include "common/ControlIds.h"
#include "resources/MainTemplate.h"
#include "settings/ModuleSettings.h"
#include "support/MapDlgControls.h"
#include "support/RecordingSink.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
using Lines = std::vector<std::string>;

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

// The shipped file is the one beside the program where it is there (a build, a portable copy),
// else the installed one, also for a program that cannot tell its folder (no /proc).
TEST(SettingsLocation, TheProgramsFolderComesBeforeTheInstalledFile)
{
    CTempFolder folder;
    const std::string beside = folder.File("confight.ini");
    const std::string installed = "/etc/tavrin/confight.ini";
    const struct {
        std::string programFolder;
        bool besideExists;
        std::string installedFile;
        std::string shipped;
    } cases[] = {
        {folder.Path().string(), true, installed, beside},
        {folder.Path().string(), false, installed, installed},
        {"", false, installed, installed},
        {folder.Path().string(), false, "", beside},
    };
    for (const auto &test : cases) {
        fs::remove(beside);
        if (test.besideExists)
            WriteBytes(beside, "[int]\r\n");
        const SettingsLocation location = SettingsLocationFor(test.programFolder, "/home/u/.config", test.installedFile);
        EXPECT_EQ(location.strShippedPath, test.shipped) << test.programFolder << test.besideExists;
        EXPECT_EQ(location.bInstalled, test.shipped == installed) << test.programFolder << test.besideExists;
    }
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

// A system-wide install: the shipped file in a folder the user may not write, the user's own
// file in the configuration folder. The user is another one than the files' owner.
class InstalledSettingsTest : public testing::Test {
protected:
    void SetUp() override
    {
        g_moduleSettings = ModuleSettings{};
        controls.SetLists(MainDlgTemplate());
        fs::create_directories(folder.Path() / "install");
        fs::create_directories(folder.Path() / "config");
        GiveToOtherUser(folder.Path() / "config");
        WriteShipped("6", "示例科技有限公司");
        if (geteuid() != 0)
            fs::permissions(folder.Path() / "install", fs::perms::owner_write, fs::perm_options::remove);
    }

    void TearDown() override { fs::permissions(folder.Path() / "install", fs::perms::owner_all, fs::perm_options::add); }

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

const Lines kFiveParameters = {"[int]",
                               "UartBaud=" + Scrambled("0"),
                               "WorkMode=" + Scrambled("2"),
                               "PinTring=" + Scrambled("0"),
                               "KeyHold=" + Scrambled("0"),
                               "KeyDelay=" + Scrambled("25")};

// The user's file holds the five parameters only, so the deployer's later change of the key count
// and the header lines reaches the user.
TEST_F(InstalledSettingsTest, TheUsersFileHoldsOnlyTheParametersAndTheDeployerKeepsTheRest)
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

TEST_F(InstalledSettingsTest, OnlyTheParametersComeFromTheUsersFile)
{
    fs::create_directories(fs::path(user).parent_path());
    WriteBytes(user, CrLf({"[int]", "KeyDelay=" + Scrambled("30"), "KeyNum=" + Scrambled("99"), "[String]",
                           "man=" + Scrambled("旧公司")}));
    ASSERT_TRUE(LoadSettings(controls, location));
    EXPECT_EQ(g_moduleSettings.m_nKeyDelay, 30);
    EXPECT_EQ(g_moduleSettings.m_nKeyHold, 1);
    EXPECT_EQ(g_moduleSettings.m_nKeyNum, 6);
    EXPECT_EQ(g_moduleSettings.m_strMaker, "示例科技有限公司");
    EXPECT_EQ(g_moduleSettings.m_nWorkMode, 2); // in neither file: the default
}

// The folder lets everyone create files but not replace another's (as /tmp does), so the
// permissions allow the save and the rename refuses it: the save goes to the user's file.
TEST_F(InstalledSettingsTest, ASaveTheShippedFileRefusesGoesToTheUsersFile)
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

// The installed file is the package's configuration file: a user who may write it, root too,
// keeps the parameters in the user's own file.
TEST_F(InstalledSettingsTest, TheInstalledFileIsNeverSavedByTheWindow)
{
    fs::permissions(folder.Path() / "install", fs::perms::owner_all, fs::perm_options::add);
    location.bInstalled = true;
    const std::string shippedBytes = ReadBytes(shipped);
    ASSERT_TRUE(OpenAndClose(0, "25"));
    EXPECT_EQ(ReadBytes(shipped), shippedBytes);
    EXPECT_EQ(ReadBytes(user), CrLf(kFiveParameters));
}

TEST_F(InstalledSettingsTest, AUsersFileThatCannotBeKeptIsReportedAndLeftAlone)
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
TEST_F(InstalledSettingsTest, WithoutAnyFileNothingIsCreated)
{
    fs::remove(shipped);
    EXPECT_FALSE(LoadSettings(controls, location));
    EXPECT_EQ(sink.messages, std::vector<std::string>{"配置文件丢失,请检查!"});
    EXPECT_EQ(g_moduleSettings.m_nKeyNum, 0);
    SaveSettings(controls, false);
    EXPECT_FALSE(fs::exists(user));
}
} // namespace
