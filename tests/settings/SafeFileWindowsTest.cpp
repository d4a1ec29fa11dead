#include "SafeFileTestParts.h"

#include "settings/IniFile.h"
#include "settings/Utf8Path.h"

#include <atomic>
#include <chrono>
#include <thread>

#include <windows.h>

namespace fs = std::filesystem;

namespace {
TEST_F(SafeFileTest, AFolderIsNeitherReadNorWritten)
{
    ExpectOnlyRegularFilesWithinTheLimit(path, {{"folder", [](const fs::path &p) { fs::create_directory(p); },
                                                 FileProblem::NotRegular, FileProblem::NotRegular}});
}

// A save replaces the file in one step: a reader that reads every few milliseconds gets the old
// bytes or the new, never a part or a mix, and its opens never make a save fail.
TEST_F(SafeFileTest, AReaderSeesTheOldOrTheNewFileNeverAPart)
{
    const std::string contents[] = {std::string(100000, 'a'), std::string(30000, 'b')};
    WriteBytes(path, contents[0]);
    std::atomic<bool> bDone{false};
    std::atomic<int> reads{0}, failedReads{0}, partReads{0};
    std::thread reader([&] {
        while (!bDone) {
            std::string bytes;
            if (ReadRegularFile(path, bytes).Failed())
                ++failedReads;
            else if (bytes != contents[0] && bytes != contents[1])
                ++partReads;
            ++reads;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    int failedSaves = 0;
    for (int save = 1; save <= 40; ++save)
        failedSaves += SaveWholeFile(path, contents[save % 2], kMaxSettingsFileSize).Failed();
    bDone = true;
    reader.join();
    EXPECT_GT(reads, 0);
    EXPECT_EQ(failedSaves, 0);
    EXPECT_EQ(failedReads, 0);
    EXPECT_EQ(partReads, 0);
    EXPECT_EQ(ReadBytes(path), contents[0]);
    EXPECT_EQ(EntriesIn(folder.Path()), 1u);
}

// A save that cannot replace the file is refused and leaves the old bytes and no temporary file,
// also when the refusal comes after the new bytes were written.
TEST_F(SafeFileTest, AFailedSaveKeepsTheOldFile)
{
    struct Case {
        const char *name;
        std::function<HANDLE()> hold; // what stands in the save's way while it runs
    };
    const Case cases[] = {
        {"another program holds it open without sharing its deletion",
         [&] {
             return ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
         }},
        {"it is read-only",
         [&] {
             fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                             fs::perm_options::remove);
             return INVALID_HANDLE_VALUE;
         }},
    };
    for (const Case &c : cases) {
        WriteBytes(path, "old");
        const HANDLE held = c.hold();
        const FileError saved = SaveWholeFile(path, "new", 16);
        if (held != INVALID_HANDLE_VALUE)
            ::CloseHandle(held);
        fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
        EXPECT_TRUE(saved.IsRefusal()) << c.name;
        EXPECT_EQ(ReadBytes(path), "old") << c.name;
        EXPECT_EQ(EntriesIn(folder.Path()), 1u) << c.name;
    }
}

// Names the narrow code page cannot spell and paths beyond MAX_PATH are loaded, saved and appended
// to as their UTF-8 text says: the file found under its UTF-16 name holds the bytes, no temporary
// file is left, and a killed save's leftover of that name is cleared.
TEST_F(SafeFileTest, NonAsciiAndLongNamesAreLoadedAndSaved)
{
    struct Case {
        std::u8string folder;
        std::wstring wideFolder;
        std::u8string file;
        std::wstring wideFile;
        bool bBeyondMaxPath = false;
    };
    const std::wstring deep = std::wstring(100, L'd') + L"\\" + std::wstring(100, L'e') + L"\\" +
                              std::wstring(100, L'f');
    const std::u8string deepUtf8(deep.begin(), deep.end());
    std::u8string chineseName;
    std::wstring wideChineseName;
    for (int i = 0; i < 80; ++i) { // 240 UTF-8 bytes, as many as a name on Linux under Wine takes
        chineseName += u8"长";
        wideChineseName += L"长";
    }
    std::u8string emojiName;
    std::wstring wideEmojiName;
    for (int i = 0; i < 60; ++i) { // each a surrogate pair in UTF-16
        emojiName += u8"😀";
        wideEmojiName += L"😀";
    }
    const Case cases[] = {
        {u8"配置文件夹", L"配置文件夹", u8"按键设置.ini", L"按键设置.ini"},
        {u8"🔑钥匙", L"🔑钥匙", u8"键盘⌨😀.txt", L"键盘⌨😀.txt"},
        {deepUtf8, deep, std::u8string(150, u8'n'), std::wstring(150, L'n'), true},
        {deepUtf8 + u8"\\长", deep + L"\\长", chineseName, wideChineseName, true},
        {u8"表情", L"表情", emojiName, wideEmojiName},
    };
    for (const Case &c : cases) {
        const fs::path wideFolder = folder.Path() / c.wideFolder;
        fs::create_directories(wideFolder);
        const std::string utf8 = Utf8FromPath(folder.Path()) + "\\" + std::string(c.folder.begin(), c.folder.end()) +
                                 "\\" + std::string(c.file.begin(), c.file.end());
        SCOPED_TRACE(utf8);
        ASSERT_EQ((wideFolder / c.wideFile).native().size() > MAX_PATH, c.bBeyondMaxPath);

        EXPECT_FALSE(SaveWholeFile(PathFromUtf8(utf8), "new", 64).Failed());
        EXPECT_FALSE(AppendToFile(PathFromUtf8(utf8), "+").Failed());
        EXPECT_EQ(ReadBytes(wideFolder / c.wideFile), "new+");
        std::string bytes;
        EXPECT_FALSE(ReadRegularFile(PathFromUtf8(utf8), bytes).Failed());
        EXPECT_EQ(bytes, "new+");

        CIniFile ini;
        ini.SetPath(utf8);
        ASSERT_TRUE(ini.WriteInt("int", "KeyDelay", 25));
        CIniFile reread;
        reread.SetPath(utf8);
        EXPECT_EQ(reread.ReadInt("int", "KeyDelay", 0), 25);
        // Each name fits a leftover's whole ("." + name + ".tavrin-" + six) in 255 UTF-8 bytes.
        const fs::path leftover = wideFolder / (L"." + c.wideFile + L".tavrin-a1B2c3");
        MakeFile(Utf8FromPath(leftover.filename()))(wideFolder);
        ASSERT_TRUE(ini.WriteInt("int", "KeyDelay", 30));
        EXPECT_FALSE(fs::exists(leftover));
        // The C library lists no folder beyond MAX_PATH.
        if (!c.bBeyondMaxPath) {
            const std::map<std::string, std::string> contents = Contents(wideFolder);
            EXPECT_EQ(contents.size(), 1u);
            EXPECT_EQ(contents.begin()->first, Utf8FromPath(fs::path(c.wideFile)));
        }
    }
}
} // namespace
