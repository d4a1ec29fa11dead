#include "../settings/SettingsTestFiles.h"
#include "keymap/KeyMap.h"
#include "keymap/KeyMapFile.h"
#include "keymap/KeyMapReader.h"
#include "keymap/KeyMapWriter.h"
#include "support/RecordingSink.h"

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
std::size_t EntriesIn(const fs::path &folder)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

class KeyMapFileTest : public testing::Test {
protected:
    KeyMap OneKey(const std::string &text)
    {
        KeyMap map;
        SetKey(map, {2, MakeKeyRecord(2, PageKind::Keyboard, 0, 0x28), text});
        return map;
    }

    CRecordingSink sink;
    CTempFolder folder;
    fs::path path = folder.Path() / "map.txt";
};

// Whatever the file is, loading ends at once with a message that says why; nothing hangs or
// fills the memory.
TEST_F(KeyMapFileTest, LoadingRefusesWhatIsNoKeyMapFileWithTheReason)
{
    struct Case {
        const char *name;
        std::function<void(const fs::path &)> make;
        const char *reason;
    };
    const Case cases[] = {
        {"fifo", [](const fs::path &p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); }, "不是普通文件"},
        {"too large", [](const fs::path &p) { WriteBytes(p, std::string(kMaxKeyMapFileSize + 1, '#')); }, "上限"},
        {"empty", [](const fs::path &p) { WriteBytes(p, ""); }, "没有任何按键或参数"},
    };
    for (const Case &c : cases) {
        fs::remove_all(path);
        c.make(path);
        sink.messages.clear();
        EXPECT_FALSE(LoadKeyMapFile(path.string(), 8)) << c.name;
        ASSERT_EQ(sink.messages.size(), 1u) << c.name;
        EXPECT_NE(sink.messages[0].find(c.reason), std::string::npos) << sink.messages[0];
    }
    // A name is quoted with its control bytes escaped, never sent to the terminal as they are.
    const std::string name = (folder.Path() / "\x1b]0;title\x07.txt").string();
    sink.messages.clear();
    EXPECT_FALSE(LoadKeyMapFile(name, 8));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].find('\x1b'), std::string::npos);
    EXPECT_NE(sink.messages[0].find("\\x1B]0;title\\x07.txt"), std::string::npos) << sink.messages[0];
}

// Names planted beside the map, as anyone who may write a shared folder could, are never
// written through; a linked map stays a link; mode and owner stay.
TEST_F(KeyMapFileTest, SavingReplacesOnlyTheMapItselfAndKeepsItsLinkModeAndOwner)
{
    const fs::path victim = folder.Path() / "victim";
    WriteBytes(victim, "precious");
    fs::create_symlink(victim, folder.Path() / "map.txt.part");
    const fs::path real = folder.Path() / "real.txt";
    WriteBytes(real, "old");
    fs::create_symlink(real, path);
    fs::permissions(real, fs::perms(0640));
    if (geteuid() == 0) {
        ASSERT_EQ(chown(real.c_str(), 12345, 23456), 0);
    }

    ASSERT_TRUE(SaveKeyMapFile(path.string(), OneKey("ENTER")));
    EXPECT_EQ(ReadBytes(victim), "precious");
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_EQ(LoadKeyMapFile(path.string(), 8), OneKey("ENTER"));
    struct stat info {};
    ASSERT_EQ(stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    if (geteuid() == 0) {
        EXPECT_EQ(info.st_uid, 12345u);
        EXPECT_EQ(info.st_gid, 23456u);
    }
    EXPECT_EQ(EntriesIn(folder.Path()), 4u);
    EXPECT_TRUE(sink.messages.empty());
}

// A text with a line break is saved with a blank for it; read back, it is saved the same way.
TEST_F(KeyMapFileTest, ASecondSaveEqualsTheFirst)
{
    for (const char *text : {"a\rb", "ENTER\n", "\r\n"}) {
        const std::string saved = FormatKeyMap(OneKey(text));
        const KeyMapResult loaded = ParseKeyMap(saved, 8);
        ASSERT_TRUE(loaded.map) << saved;
        EXPECT_EQ(loaded.map->keys.at(0).record, OneKey(text).keys[0].record) << saved;
        EXPECT_EQ(FormatKeyMap(*loaded.map), saved);
    }
}

// A map the loader would refuse is not saved, and a failed save keeps the earlier file.
TEST_F(KeyMapFileTest, AMapTheLoaderWouldRefuseIsNotSaved)
{
    WriteBytes(path, "KEY-1 = ENTER\n");
    EXPECT_FALSE(SaveKeyMapFile(path.string(), KeyMap{}));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(ReadBytes(path), "KEY-1 = ENTER\n");
    fs::remove(path);
    fs::create_directory(path);
    EXPECT_FALSE(SaveKeyMapFile(path.string(), OneKey("ENTER")));
    EXPECT_TRUE(fs::is_directory(path));
    EXPECT_EQ(EntriesIn(folder.Path()), 1u);
}
} // namespace
