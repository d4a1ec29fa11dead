#include "SettingsTestFiles.h"

#include "settings/IniFile.h"
#include "tools/SettingsTool.h"

#include <gtest/gtest.h>

#include <sstream>

namespace fs = std::filesystem;

namespace {
const std::string kMaker = "深圳市示例科技有限公司";

class SettingsToolTest : public testing::Test {
protected:
    void SetUp() override { fs::copy_file(TAVRIN_DEFAULT_SETTINGS, path); }

    int Run(const std::vector<std::string> &args)
    {
        out.str("");
        err.str("");
        return RunSettingsTool(args, out, err);
    }

    CTempFolder folder;
    std::string path = folder.File("confight.ini");
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(SettingsToolTest, SetsAndShowsAChineseHeaderLine)
{
    ASSERT_EQ(Run({"--file", path, "set", "String", "man", kMaker}), 0) << err.str();
    EXPECT_EQ(ReadBytes(path).find(kMaker), std::string::npos) << "stored in clear";

    CIniFile ini;
    ini.SetPath(path);
    EXPECT_EQ(ini.ReadString("String", "man", ""), kMaker);

    ASSERT_EQ(Run({"--file", path, "get", "String", "man"}), 0);
    EXPECT_EQ(out.str(), kMaker + "\n");

    ASSERT_EQ(Run({"--file", path, "show"}), 0);
    EXPECT_NE(out.str().find("[int]\nUartBaud=0\nWorkMode=2\nPinTring=0\nKeyHold=1\nKeyDelay=40\nKeyNum=8\n"),
              std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("[String]\nman=" + kMaker + "\n"), std::string::npos) << out.str();
}

TEST_F(SettingsToolTest, SettingOneValueLeavesTheOtherLines)
{
    const std::string before = ReadBytes(path);
    ASSERT_EQ(Run({"--file", path, "set", "int", "KeyNum", "12"}), 0);
    const std::string after = ReadBytes(path);
    EXPECT_EQ(after.size(), before.size() + 1);
    EXPECT_EQ(after.substr(after.find("[String]")), before.substr(before.find("[String]")));
}

struct FailureCase {
    const char *name;
    std::vector<std::string> args;
    int status;
    std::string message; // part of the error output, in the source language: no translation is loaded
};

TEST_F(SettingsToolTest, FailuresAreExplainedAndChangeNothing)
{
    const std::string missing = folder.File("missing.ini");
    fs::create_directory(folder.Path() / "folder.ini");
    const FailureCase cases[] = {
        {"missing file", {"--file", missing, "show"}, 1, "没有设置文件：" + missing},
        {"set on a missing file", {"--file", missing, "set", "int", "KeyNum", "8"}, 1, "没有设置文件"},
        {"not a file", {"--file", folder.File("folder.ini"), "show"}, 1, "配置文件不是普通文件：" + folder.File("folder.ini")},
        {"absent value", {"--file", path, "get", "String", "fax"}, 1, "节 \"String\" 中没有值 \"fax\""},
        {"value that cannot be stored", {"--file", path, "set", "String", "man", "<x>"}, 1, "无法保存这个值：值含有"},
        {"bad key", {"--file", path, "set", "String", "a=b", "x"}, 1, "无法保存这个值：键名"},
        {"int with a unit", {"--file", path, "set", "int", "KeyDelay", "25ms"}, 1, "十进制整数"},
        {"int in hexadecimal", {"--file", path, "set", "int", "KeyNum", "0x10"}, 1, "十进制整数"},
        {"int with a blank", {"--file", path, "set", "int", "KeyNum", " 8"}, 1, "十进制整数"},
        {"int beyond 32 bits", {"--file", path, "set", "int", "KeyNum", "4294967304"}, 1, "十进制整数"},
        {"empty int", {"--file", path, "set", "int", "KeyNum", ""}, 1, "十进制整数"},
        {"no command", {}, 2, "用法错误"},
        {"--file without a path", {"--file"}, 2, "用法错误"},
        {"unknown command", {"--file", path, "list"}, 2, "用法错误"},
        {"set without a value", {"--file", path, "set", "String", "man"}, 2, "用法错误"},
        {"unknown option", {"--file", path, "--fast", "show"}, 2, "用法错误：--fast"},
        {"a dash value before --", {"--file", path, "set", "String", "man", "-x"}, 2, "用法错误：-x"},
    };
    const std::string before = ReadBytes(path);
    for (const FailureCase &c : cases) {
        EXPECT_EQ(Run(c.args), c.status) << c.name;
        EXPECT_NE(err.str().find(c.message), std::string::npos) << c.name << ": " << err.str();
        EXPECT_TRUE(out.str().empty()) << c.name;
    }
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_FALSE(fs::exists(missing));
}

// --file may stand anywhere, "--" lets a value start with a dash, and output that cannot be
// written is a failure.
TEST_F(SettingsToolTest, FileAnywhereDoubleDashAndUnwritableOutput)
{
    ASSERT_EQ(Run({"set", "String", "man", "--file", path, "--", "-x-"}), 0) << err.str();
    ASSERT_EQ(Run({"get", "--file=" + path, "String", "man"}), 0) << err.str();
    EXPECT_EQ(out.str(), "-x-\n");
    std::ostringstream unwritable;
    unwritable.setstate(std::ios::badbit);
    EXPECT_EQ(RunSettingsTool({"--file", path, "show"}, unwritable, err), 1);
    EXPECT_NE(err.str().find("输出没有全部写出"), std::string::npos) << err.str();
}

TEST_F(SettingsToolTest, HelpExplainsTheCommands)
{
    ASSERT_EQ(Run({"--help"}), 0);
    for (const char *word : {"show", "get SECTION KEY", "set SECTION KEY VALUE", "--file", "String", "man"})
        EXPECT_NE(out.str().find(word), std::string::npos) << word;
}
} // namespace
