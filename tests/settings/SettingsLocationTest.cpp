#include "SettingsLocationTestParts.h"

namespace fs = std::filesystem;

namespace {
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
