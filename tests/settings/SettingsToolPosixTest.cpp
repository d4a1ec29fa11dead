#include "SettingsTestFiles.h"

#include "settings/IniFile.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace fs = std::filesystem;

namespace {
// The program itself, started through the shell as a deployer would.
class SettingsToolProgramTest : public testing::Test {
protected:
    void SetUp() override { fs::copy_file(TAVRIN_DEFAULT_SETTINGS, path); }

    CTempFolder folder;
    std::string path = folder.File("confight.ini");
};

// Started as Tavrin would be, the tool reads each value where Tavrin does and says from where:
// the parameters from the user's file, the key count and header lines from the shipped file only.
TEST_F(SettingsToolProgramTest, WithoutAFileItResolvesEachValueAsTavrinDoes)
{
    const fs::path program = folder.Path() / "tavrin-settings";
    fs::copy_file(TAVRIN_SETTINGS_TOOL, program);
    const fs::path user = folder.Path() / "config" / "tavrin" / "confight.ini";
    fs::create_directories(user.parent_path());
    WriteBytes(user, CrLf({"[int]", "KeyDelay=" + Scrambled("25"), "KeyNum=" + Scrambled("99")}));
    const std::string run = "TAVRIN_LANG=zh XDG_CONFIG_HOME='" + (folder.Path() / "config").string() + "' '" + program.string() + "' ";
    const auto output = [&](const std::string &args) {
        const fs::path out = folder.Path() / "out.txt";
        EXPECT_EQ(std::system((run + args + " > '" + out.string() + "' 2>&1").c_str()), 0) << args;
        return ReadBytes(out);
    };
    EXPECT_EQ(output("get int KeyDelay"), "25\ntavrin-settings: 读自 " + user.string() + "\n");
    EXPECT_EQ(output("get int KeyNum"), "8\ntavrin-settings: 读自 " + path + "\n");
    const std::string shown = output("show");
    EXPECT_NE(shown.find("KeyDelay=25    (" + user.string() + ")\n"), std::string::npos) << shown;
    EXPECT_NE(shown.find("KeyNum=8    (" + path + ")\n"), std::string::npos) << shown;

    const std::string shippedBefore = ReadBytes(path);
    EXPECT_EQ(output("set int KeyHold 0"), "tavrin-settings: 已写入 " + user.string() + "\n");
    EXPECT_EQ(ReadBytes(path), shippedBefore);
    EXPECT_EQ(output("set int KeyNum 6"), "tavrin-settings: 已写入 " + path + "\n");
    EXPECT_EQ(output("get int KeyNum"), "6\ntavrin-settings: 读自 " + path + "\n");
    EXPECT_EQ(output("get int KeyHold"), "0\ntavrin-settings: 读自 " + user.string() + "\n");
}

// A copy of the program in its own folder, started from another working folder, reads and writes
// the confight.ini beside it and leaves the one in the working folder alone.
TEST_F(SettingsToolProgramTest, StartedFromAnotherFolderItUsesTheFileBesideItself)
{
    const fs::path program = folder.Path() / "tavrin-settings";
    fs::copy_file(TAVRIN_SETTINGS_TOOL, program);
    CTempFolder elsewhere;
    const std::string decoy = CrLf({"[int]", "KeyDelay=" + Scrambled("99")});
    WriteBytes(elsewhere.Path() / "confight.ini", decoy);
    CWorkingFolderScope cwd(elsewhere.Path());

    // No user's file: the values live beside the program.
    const std::string run = "XDG_CONFIG_HOME=\"" + elsewhere.Path().string() + "\" \"" + program.string() + "\" ";
    ASSERT_EQ(std::system((run + "set int KeyDelay 25").c_str()), 0);
    ASSERT_EQ(std::system((run + "get int KeyDelay > value.txt").c_str()), 0);
    EXPECT_EQ(ReadBytes(elsewhere.Path() / "value.txt"), "25\n");

    CIniFile ini;
    ini.SetPath(path);
    EXPECT_EQ(ini.ReadInt("int", "KeyDelay", 0), 25);
    EXPECT_EQ(ReadBytes(elsewhere.Path() / "confight.ini"), decoy);
}
} // namespace
