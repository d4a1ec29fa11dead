#include "KeyMapFileTestParts.h"

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
TEST_F(KeyMapFileTest, LoadingRefusesAFifoAtOnce)
{
    ExpectLoadingRefused({{"fifo", [](const fs::path &p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); }, "不是普通文件"}});
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

} // namespace
