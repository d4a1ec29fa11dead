#include "IniFileTestParts.h"

#include <algorithm>
#include <climits>
#include <optional>

namespace fs = std::filesystem;

namespace {
using Lines = std::vector<std::string>;

struct LookupCase {
    const char *name;
    Lines lines;
    std::string section;
    std::string key;
    std::string stored; // raw, before unscrambling
};

TEST_F(IniFileTest, LookupFollowsTheLineRules)
{
    const LookupCase cases[] = {
        {"header with blanks and trailing text", {"  [ int ]  trailing", "k=v"}, "int", "k", "v"},
        {"header without ']' has the empty name", {"[int", "k=v"}, "", "k", "v"},
        {"header without ']' is not int", {"[int", "k=v"}, "int", "k", "NULL"},
        {"section names are case-sensitive", {"[Int]", "k=v"}, "int", "k", "NULL"},
        {"blanks around key and value", {"[int]", " KeyDelay = 40 "}, "int", "KeyDelay", "40"},
        {"value runs from the first '='", {"[int]", "a=b=c"}, "int", "a", "b=c"},
        {"second header of the same name ends the scan", {"[int]", "x=1", "[int]", "y=2"}, "int", "y", "NULL"},
        {"first of duplicate keys", {"[int]", "k=1", "k=2"}, "int", "k", "1"},
        {"first of duplicate sections", {"[int]", "k=1", "[int]", "k=2"}, "int", "k", "1"},
        {"';x=1' is the key ';x'", {"[int]", ";x=1"}, "int", ";x", "1"},
        {"a line without '=' has no key", {"[int]", "k", "k=7"}, "int", "k", "7"},
        {"the caller's key is not trimmed", {"[int]", "k=1"}, "int", " k", "NULL"},
        {"the caller's section is not trimmed", {"[int]", "k=1"}, "int ", "k", "NULL"},
        {"lines before the first header belong to no section", {"k=1", "[int]"}, "int", "k", "NULL"},
        {"the key of another section", {"[a]", "k=1", "[int]", "j=2"}, "int", "k", "NULL"},
        {"missing section", {"[a]", "k=1"}, "int", "k", "NULL"},
        {"empty value", {"[int]", "k=  "}, "int", "k", ""},
    };
    for (const LookupCase &c : cases) {
        WriteFile(c.lines);
        EXPECT_EQ(ini.GetValue(c.section, c.key), c.stored) << c.name;
    }
}

struct TypedReadCase {
    const char *name;
    std::optional<std::string> file; // nullopt: no file at all
    std::string text;
    int number;
};

TEST_F(IniFileTest, TypedReadsUnscrambleOrFallBackToTheDefault)
{
    const TypedReadCase cases[] = {
        {"number", CrLf({"[int]", "k=" + Scrambled("-12")}), "-12", -12},
        {"not a number reads as 0", CrLf({"[int]", "k=" + Scrambled("abc")}), "abc", 0},
        {"leading number", CrLf({"[int]", "k=" + Scrambled(" 7x")}), " 7x", 7},
        {"text ends at a zero byte", CrLf({"[int]", "k=" + Scrambled(std::string("ab\0cd", 5))}), "ab", 0},
        {"empty stored value", CrLf({"[int]", "k="}), "", 0},
        {"stored \"NULL\" is absent", CrLf({"[int]", "k=NULL"}), "default", 99},
        {"missing key", CrLf({"[int]", "j=" + Scrambled("1")}), "default", 99},
        {"file without lines", "", "default", 99},
        {"missing file", std::nullopt, "default", 99},
    };
    for (const TypedReadCase &c : cases) {
        fs::remove(path);
        if (c.file)
            WriteBytes(path, *c.file);
        EXPECT_EQ(ini.ReadString("int", "k", "default"), c.text) << c.name;
        EXPECT_EQ(ini.ReadInt("int", "k", 99), c.number) << c.name;
    }
}

struct LoadCase {
    const char *name;
    std::string bytes;
    Lines lines;
};

TEST_F(IniFileTest, LoadSplitsLinesByTheSameRulesOnEveryPlatform)
{
    const LoadCase cases[] = {
        {"CR LF", "a\r\nb\r\n", {"a", "b"}},
        {"lone LF", "a\nb\n", {"a", "b"}},
        {"last line without a line end", "a\nb", {"a", "b"}},
        {"blank lines", "a\n\n\r\nb\n", {"a", "", "", "b"}},
        {"only the CR right before LF is dropped", "a\r\r\nb\rc\n", {"a\r", "b\rc"}},
        {"CR at the very end stays", "a\r", {"a\r"}},
        {"0x1A ends the file", "a\nb\x1A", {"a", "b"}},
        {"0x1A alone", "\x1A", {}},
        {"empty file", "", {}},
        {"one line end", "\n", {""}},
    };
    for (const LoadCase &c : cases) {
        WriteBytes(path, c.bytes);
        ASSERT_TRUE(ini.Load()) << c.name;
        EXPECT_EQ(ini.Lines(), c.lines) << c.name;
    }
}

struct WriteCase {
    const char *name;
    Lines before;
    Lines after; // "k=S" stands for the written line
};

TEST_F(IniFileTest, WriteReplacesInsertsOrAppendsOneLine)
{
    const WriteCase cases[] = {
        {"replaces the line, losing its spacing and tail",
         {"[int]", "a=1", " k = 1 ; old", "b=2"},
         {"[int]", "a=1", "k=S", "b=2"}},
        {"replaces the first of duplicate keys", {"[int]", "k=1", "k=2"}, {"[int]", "k=S", "k=2"}},
        {"inserts before the second header of the same name",
         {"[int]", "x=1", "[int]", "y=2", "k=3"},
         {"[int]", "x=1", "k=S", "[int]", "y=2", "k=3"}},
        {"inserts at the end of the section, after its blank line",
         {"[int]", "x=1", "", "[b]", "y=2"},
         {"[int]", "x=1", "", "k=S", "[b]", "y=2"}},
        {"appends after the last line of the last section", {"[a]", "[int]", "x=1", ""}, {"[a]", "[int]", "x=1", "", "k=S"}},
        {"appends a new section", {"[Int]", "k=1"}, {"[Int]", "k=1", "[int]", "k=S"}},
        {"empty document", {}, {"[int]", "k=S"}},
    };
    const std::string written = "k=" + Scrambled("25");
    for (const WriteCase &c : cases) {
        WriteFile(c.before);
        ini.ReadInt("int", "k", 0);
        ASSERT_TRUE(ini.WriteInt("int", "k", 25)) << c.name;
        Lines expected = c.after;
        std::replace(expected.begin(), expected.end(), std::string("k=S"), written);
        EXPECT_EQ(ReadBytes(path), CrLf(expected)) << c.name;
    }
}

TEST_F(IniFileTest, EveryWrittenIntegerReadsBack)
{
    // Every digit at every position of one to ten digits, both signs, and the limits.
    std::vector<int> values = {INT_MIN, INT_MAX};
    for (int value = -100; value <= 100; ++value)
        values.push_back(value);
    for (int power = 1; power <= 100'000'000; power *= 10) {
        for (int digit = 1; digit <= 9; ++digit)
            values.insert(values.end(), {digit * power + 123456789 % power, -(digit * power + 987654321 % power)});
    }
    for (int value : values) {
        ASSERT_TRUE(ini.WriteInt("int", "k", value)) << value;
        EXPECT_EQ(ini.ReadInt("int", "k", 7), value) << value;
    }
    CIniFile fresh;
    fresh.SetPath(path);
    EXPECT_EQ(fresh.ReadInt("int", "k", 7), values.back());
}

TEST_F(IniFileTest, HeaderLinesInUtf8AndGbkReadBackWithTheirBlanks)
{
    const std::string texts[] = {
        "深圳市示例科技有限公司",
        "  联系电话：0755-12345678  ",
        "\xC9\xEE\xDB\xDA\xBF\xC6\xBC\xBC", // GBK
        "www.example.com/a?b=c&d=e#f",
        "a<b",
    };
    for (const std::string &text : texts) {
        ASSERT_EQ(WhyNotStorable("String", "man", text), nullptr) << text;
        ASSERT_TRUE(ini.WriteString("String", "man", text)) << text;
        CIniFile fresh;
        fresh.SetPath(path);
        EXPECT_EQ(fresh.ReadString("String", "man", "default"), text);
    }
}

TEST_F(IniFileTest, AWriteLeavesEveryOtherByteAsItWas)
{
    const Lines lines = {
        "; a comment before any section",
        "",
        "  [ int ]  ; trailing text",
        "UartBaud=" + Scrambled("0"),
        "\tKeyDelay = " + Scrambled("40") + "   ",
        "no equals sign here",
        "odd=\x80\xFF\x01 bytes\r",
        "",
        "[String]",
        "man=" + Scrambled("深圳"),
        "   ",
    };
    WriteFile(lines);
    ini.ReadInt("int", "KeyDelay", 0);
    ASSERT_TRUE(ini.WriteInt("int", "KeyDelay", 25));
    Lines expected = lines;
    expected[4] = "KeyDelay=" + Scrambled("25");
    EXPECT_EQ(ReadBytes(path), CrLf(expected));
}

TEST_F(IniFileTest, AFileWithLoneLineFeedsIsSavedWithCrLf)
{
    WriteBytes(path, "[int]\nk=1\nj=2");
    ini.ReadInt("int", "k", 0);
    ASSERT_TRUE(ini.WriteInt("int", "k", 3));
    EXPECT_EQ(ReadBytes(path), CrLf({"[int]", "k=" + Scrambled("3"), "j=2"}));
}

TEST_F(IniFileTest, AFailedLoadKeepsThePreviousLines)
{
    WriteFile({"[int]", "k=1"});
    ASSERT_TRUE(ini.Load());
    const Lines loaded = ini.Lines();

    ini.SetPath(folder.File("missing.ini"));
    EXPECT_FALSE(ini.Load());
    EXPECT_FALSE(ini.IsOpen());
    EXPECT_EQ(ini.Lines(), loaded);

    // A directory opens for reading on Linux and fails at the first read.
    fs::create_directory(folder.Path() / "folder.ini");
    ini.SetPath(folder.File("folder.ini"));
    EXPECT_FALSE(ini.Load());
    EXPECT_FALSE(ini.IsOpen());
    EXPECT_EQ(ini.Lines(), loaded);
}

TEST_F(IniFileTest, AByteOrderMarkIsReadPastAndKept)
{
    const std::string mark = "\xEF\xBB\xBF";
    WriteBytes(path, mark + CrLf({"[int]", "KeyDelay=" + Scrambled("30")}));
    EXPECT_EQ(ini.ReadInt("int", "KeyDelay", 0), 30);
    ASSERT_TRUE(ini.WriteInt("int", "KeyDelay", 25));
    ASSERT_TRUE(ini.WriteInt("int", "KeyHold", 0));
    EXPECT_EQ(ReadBytes(path), mark + CrLf({"[int]", "KeyDelay=" + Scrambled("25"), "KeyHold=" + Scrambled("0")}));
}

TEST_F(IniFileTest, ASaveAfterALoadSetsItsValuesInAFileChangedMeanwhile)
{
    WriteFile({"[int]", "KeyDelay=" + Scrambled("30")});
    ASSERT_TRUE(ini.Load());
    CIniFile other;
    other.SetPath(path);
    ASSERT_TRUE(other.WriteInt("int", "KeyDelay", 50));
    ini.SetInt("int", "KeyDelay", 30);
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(other.ReadInt("int", "KeyDelay", 0), 30);
}

TEST_F(FailedSaveTest, TargetIsNotAWritableFile)
{
    fs::remove(path);
    fs::create_directory(path);
    EXPECT_FALSE(ini.WriteInt("int", "k", 25));
    EXPECT_FALSE(ini.IsOpen());
    EXPECT_TRUE(fs::is_directory(path));
}
} // namespace
