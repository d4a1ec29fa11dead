#include "KeyMapFileTestParts.h"
#include "keymap/KeyMapReader.h"
#include "keymap/KeyMapWriter.h"

namespace fs = std::filesystem;

namespace {
// Whatever the file is, loading ends at once with a message that says why; nothing hangs or
// fills the memory.
TEST_F(KeyMapFileTest, LoadingRefusesWhatIsNoKeyMapFileWithTheReason)
{
    ExpectLoadingRefused({
        {"too large", [](const fs::path &p) { WriteBytes(p, std::string(kMaxKeyMapFileSize + 1, '#')); }, "上限"},
        {"empty", [](const fs::path &p) { WriteBytes(p, ""); }, "没有任何按键或参数"},
    });
    // A name is quoted with its control bytes escaped, never sent to the terminal as they are.
    const std::string name = (folder.Path() / "\x1b]0;title\x07.txt").string();
    sink.messages.clear();
    EXPECT_FALSE(LoadKeyMapFile(name, 8));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].find('\x1b'), std::string::npos);
    EXPECT_NE(sink.messages[0].find("\\x1B]0;title\\x07.txt"), std::string::npos) << sink.messages[0];
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
