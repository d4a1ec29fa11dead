#include "FolderRenames.h"
#include "SettingsTestFiles.h"

#include "common/ControlIds.h"
#include "resources/MainTemplate.h"
#include "settings/ModuleSettings.h"
#include "support/MapDlgControls.h"
#include "support/RecordingSink.h"

#include <gtest/gtest.h>

#include <string_view>

namespace fs = std::filesystem;

namespace {
using Lines = std::vector<std::string>;

const Lines kHeaderLines = {
    "[String]",
    "man=" + Scrambled("示例科技有限公司"),
    "phone=" + Scrambled("电话：0755-1234"),
    "www=" + Scrambled("www.example.com"),
};

class ModuleSettingsTest : public testing::Test {
protected:
    void SetUp() override
    {
        g_moduleSettings = ModuleSettings{};
        controls.SetLists(MainDlgTemplate());
    }

    // The user's state of the parameter controls when the window closes.
    void SetControls(int nBaud, int nMode, int nTrigger, int nHold, const std::string &strDelay)
    {
        controls.SetCurSel(MainId::kBaudRate, nBaud);
        controls.SetCurSel(MainId::kWorkMode, nMode);
        controls.SetCurSel(MainId::kTriggerLevel, nTrigger);
        controls.SetCurSel(MainId::kLongPress, nHold);
        controls.SetDlgItemText(MainId::kDebounce, strDelay);
    }

    static void ExpectParameters(int nBaud, int nMode, int nTrigger, int nHold, int nDelay)
    {
        const ModuleSettings &s = g_moduleSettings;
        EXPECT_EQ((std::vector<int>{s.m_nUartBaud, s.m_nWorkMode, s.m_nPinTring, s.m_nKeyHold, s.m_nKeyDelay}),
                  (std::vector<int>{nBaud, nMode, nTrigger, nHold, nDelay}));
    }

    std::vector<std::string> Labels() const
    {
        return {controls.GetDlgItemText(MainId::kMaker), controls.GetDlgItemText(MainId::kContact),
                controls.GetDlgItemText(MainId::kWeb)};
    }

    CTempFolder folder;
    std::string path = folder.File("confight.ini");
    CRecordingSink sink;
    CMapDlgControls controls;
};

TEST_F(ModuleSettingsTest, MissingFileWarnsGivesNoKeysAndIsNeverCreated)
{
    EXPECT_FALSE(LoadSettings(controls, path));
    EXPECT_EQ(sink.messages, std::vector<std::string>{"配置文件丢失,请检查!"});
    ExpectParameters(0, 2, 0, 1, 40);
    EXPECT_EQ(g_moduleSettings.m_nKeyNum, 0);
    EXPECT_EQ(Labels(), (std::vector<std::string>{"  ", "  ", "  "}));

    SetControls(3, 1, 1, 0, "25");
    SaveSettings(controls, false);
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(ModuleSettingsTest, FileWithOnlyTheHeaderLinesGivesTheDefaultsAndEightKeys)
{
    WriteBytes(path, CrLf(kHeaderLines));
    EXPECT_TRUE(LoadSettings(controls, path));
    EXPECT_TRUE(sink.messages.empty());
    ExpectParameters(0, 2, 0, 1, 40);
    EXPECT_EQ(g_moduleSettings.m_nKeyNum, 8);
    EXPECT_EQ(Labels(), (std::vector<std::string>{"示例科技有限公司", "电话：0755-1234", "www.example.com"}));
    EXPECT_EQ(g_moduleSettings.m_strMaker, "示例科技有限公司");
}

TEST_F(ModuleSettingsTest, StoredValuesAreLoaded)
{
    WriteBytes(path, CrLf({"[int]", "UartBaud=" + Scrambled("3"), "WorkMode=" + Scrambled("7"),
                           "PinTring=" + Scrambled("1"), "KeyHold=" + Scrambled("0"), "KeyDelay=" + Scrambled("-5"),
                           "KeyNum=" + Scrambled("12")}));
    EXPECT_TRUE(LoadSettings(controls, path));
    ExpectParameters(3, 7, 1, 0, -5);
    EXPECT_EQ(g_moduleSettings.m_nKeyNum, 12);
    EXPECT_EQ(Labels(), (std::vector<std::string>{"  ", "  ", "  "}));
}

TEST_F(ModuleSettingsTest, SavingWritesTheFiveKeysInOrder)
{
    WriteBytes(path, CrLf(kHeaderLines));
    ASSERT_TRUE(LoadSettings(controls, path));
    SetControls(3, 4, 1, 0, "25");
    CFolderRenames renames(folder.Path());
    SaveSettings(controls, true);
    // The five values are saved together: one new file is moved into place.
    if (const std::optional<int> count = renames.Count()) {
        EXPECT_EQ(*count, 1);
    }

    Lines expected = kHeaderLines;
    expected.insert(expected.end(), {"[int]", "UartBaud=" + Scrambled("3"), "WorkMode=" + Scrambled("4"),
                                     "PinTring=" + Scrambled("1"), "KeyHold=" + Scrambled("0"),
                                     "KeyDelay=" + Scrambled("25")});
    EXPECT_EQ(ReadBytes(path), CrLf(expected));
}

struct SaveCase {
    const char *strDelay;
    int nSelection; // of every combo box
    int nStoredDelay;
    int nStoredSelection;
};

TEST_F(ModuleSettingsTest, SavedValuesAreCutToTheirWidth)
{
    const SaveCase cases[] = {
        {"25", 1, 25, 1},      {"70000", 0, 70000 - 65536, 0}, {"-1", 2, 65535, 2},
        {"25ms", -1, 25, 255}, {"", 0, 0, 0},                  {"  40", 0, 40, 0},
    };
    for (const SaveCase &c : cases) {
        WriteBytes(path, CrLf({"[int]"}));
        ASSERT_TRUE(LoadSettings(controls, path));
        SetControls(c.nSelection, c.nSelection, c.nSelection, c.nSelection, c.strDelay);
        SaveSettings(controls, true);
        CIniFile file;
        file.SetPath(path);
        EXPECT_EQ(file.ReadInt("int", "KeyDelay", -100), c.nStoredDelay) << c.strDelay;
        for (const char *key : {"UartBaud", "WorkMode", "PinTring", "KeyHold"})
            EXPECT_EQ(file.ReadInt("int", key, -100), c.nStoredSelection) << key << " " << c.nSelection;
    }
}

TEST_F(ModuleSettingsTest, KeyCountHeaderLinesAndOtherLinesSurviveARun)
{
    Lines lines = {"; shipped with the tool", "[int]", "UartBaud=" + Scrambled("0"), "WorkMode=" + Scrambled("2"),
                   "PinTring=" + Scrambled("0"), "KeyHold=" + Scrambled("1"), "KeyDelay=" + Scrambled("40"),
                   "KeyNum=" + Scrambled("6"), ""};
    lines.insert(lines.end(), kHeaderLines.begin(), kHeaderLines.end());
    WriteBytes(path, CrLf(lines));

    ASSERT_TRUE(LoadSettings(controls, path));
    SetControls(0, 2, 0, 0, "25"); // long-press "是", debounce 25
    SaveSettings(controls, true);

    Lines expected = lines;
    expected[5] = "KeyHold=" + Scrambled("0");
    expected[6] = "KeyDelay=" + Scrambled("25");
    EXPECT_EQ(ReadBytes(path), CrLf(expected));
}

// The file changed while the window was open into one the lines cannot keep: the close says so,
// once, with the file, and leaves it as it was.
TEST_F(ModuleSettingsTest, AFailedSaveIsShownOnceAndLeavesTheOldFile)
{
    WriteBytes(path, CrLf({"[int]", "KeyDelay=" + Scrambled("40")}));
    ASSERT_TRUE(LoadSettings(controls, path));
    const std::string old = CrLf({"[int]", "KeyDelay=" + Scrambled("40")}) + "\x1A" + "notes";
    WriteBytes(path, old);
    SetControls(0, 2, 0, 0, "25");
    SaveSettings(controls, true);
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(sink.messages, std::vector<std::string>{"参数未保存，配置文件在结束符 0x1A 之后还有内容：" + path});
}

TEST_F(ModuleSettingsTest, AnotherWorkingFolderReadsAndWritesTheGivenFile)
{
    WriteBytes(path, CrLf({"[int]", "KeyDelay=" + Scrambled("30"), "KeyNum=" + Scrambled("8")}));
    CTempFolder elsewhere;
    const std::string decoy = CrLf({"[int]", "KeyDelay=" + Scrambled("99"), "KeyNum=" + Scrambled("2")});
    WriteBytes(elsewhere.Path() / "confight.ini", decoy);
    CWorkingFolderScope cwd(elsewhere.Path());

    ASSERT_TRUE(LoadSettings(controls, path));
    EXPECT_EQ(g_moduleSettings.m_nKeyDelay, 30);
    EXPECT_EQ(g_moduleSettings.m_nKeyNum, 8);
    SetControls(0, 2, 0, 1, "25");
    SaveSettings(controls, true);

    CIniFile file;
    file.SetPath(path);
    EXPECT_EQ(file.ReadInt("int", "KeyDelay", 0), 25);
    EXPECT_EQ(ReadBytes(elsewhere.Path() / "confight.ini"), decoy);
}

TEST_F(ModuleSettingsTest, TheSettingsFileIsBesideTheExecutableWhateverTheWorkingFolder)
{
    CWorkingFolderScope cwd(folder.Path());
    const fs::path settings = FindSettingsLocation().strShippedPath;
    EXPECT_TRUE(settings.is_absolute());
    EXPECT_EQ(settings.filename(), "confight.ini");
    EXPECT_TRUE(fs::equivalent(settings.parent_path(), TAVRIN_TEST_BIN_DIR));
}

// Lead byte and continuation bytes of every character, no overlong two-byte forms.
bool IsUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3
                                                                                : lead >= 0xF0 && lead < 0xF5 ? 4 : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += length;
    }
    return true;
}

// The file in the repository holds the defaults and readable header lines, and the build puts a
// copy next to the executables.
TEST_F(ModuleSettingsTest, TheShippedFileHoldsTheDefaultsAndEightKeys)
{
    for (const fs::path &shipped : {fs::path(TAVRIN_DEFAULT_SETTINGS), fs::path(TAVRIN_TEST_BIN_DIR) / "confight.ini"}) {
        ASSERT_TRUE(fs::exists(shipped)) << shipped;
        fs::copy_file(shipped, path, fs::copy_options::overwrite_existing);
        ASSERT_TRUE(LoadSettings(controls, path)) << shipped;
        EXPECT_EQ(g_moduleSettings.m_nKeyNum, 8) << shipped;
        for (const std::string &label : Labels()) {
            EXPECT_TRUE(IsUtf8(label)) << shipped;
            EXPECT_NE(label.find_first_not_of(' '), std::string::npos) << shipped;
        }
    }
    // A run from the build folder may have saved other parameters into the copy.
    fs::copy_file(TAVRIN_DEFAULT_SETTINGS, path, fs::copy_options::overwrite_existing);
    ASSERT_TRUE(LoadSettings(controls, path));
    ExpectParameters(0, 2, 0, 1, 40);
}

TEST_F(ModuleSettingsTest, TheShippedFileEndsEveryLineWithCrLf)
{
    const std::string bytes = ReadBytes(TAVRIN_DEFAULT_SETTINGS);
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.back(), '\n');
    for (std::size_t i = bytes.find('\n'); i != std::string::npos; i = bytes.find('\n', i + 1))
        EXPECT_EQ(bytes[i - 1], '\r') << i;
}
} // namespace
