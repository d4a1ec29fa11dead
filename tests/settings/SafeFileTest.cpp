#include "SettingsTestFiles.h"

#include "settings/IniFile.h"
#include "settings/SafeFile.h"

#include <gtest/gtest.h>

#include <functional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
std::size_t EntriesIn(const fs::path &folder)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

class SafeFileTest : public testing::Test {
protected:
    CTempFolder folder;
    fs::path path = folder.Path() / "file";
};

// Reading, saving and appending refuse what is no regular file without blocking or reading on,
// and a read stops at its caller's limit.
TEST_F(SafeFileTest, OnlyRegularFilesWithinTheLimitAreReadOrWritten)
{
    struct Case {
        const char *name;
        std::function<void(const fs::path &)> make;
        FileProblem read;
        FileProblem append;
    };
    const Case cases[] = {
        {"fifo", [](const fs::path &p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); }, FileProblem::NotRegular,
         FileProblem::System /* no reader: ENXIO at once */},
        {"link to /dev/zero", [](const fs::path &p) { fs::create_symlink("/dev/zero", p); }, FileProblem::NotRegular,
         FileProblem::NotRegular},
        {"folder", [](const fs::path &p) { fs::create_directory(p); }, FileProblem::NotRegular, FileProblem::System},
        {"over the limit", [](const fs::path &p) { WriteBytes(p, std::string(17, 'x')); }, FileProblem::TooLarge,
         FileProblem::None},
        {"empty", [](const fs::path &p) { WriteBytes(p, ""); }, FileProblem::None, FileProblem::None},
    };
    for (const Case &c : cases) {
        fs::remove_all(path);
        c.make(path);
        const fs::file_type type = fs::symlink_status(path).type();
        std::string bytes = "old";
        const FileError read = ReadRegularFile(path, bytes, 16);
        EXPECT_EQ(read.problem, c.read) << c.name;
        if (!read.Failed()) {
            EXPECT_EQ(bytes, "") << c.name;
        }
        EXPECT_EQ(AppendToFile(path, "line\n").problem, c.append) << c.name;
        EXPECT_EQ(SaveWholeFile(path, "new", 16).problem, c.read) << c.name;
        EXPECT_EQ(fs::symlink_status(path).type(), type) << c.name;
    }
}

// A save whose result the next read would refuse replaces nothing.
TEST_F(SafeFileTest, ASaveOverTheLimitIsRefusedBeforeAnythingIsReplaced)
{
    WriteBytes(path, "12345678");
    EXPECT_EQ(SaveWholeFile(path, std::string(17, 'y'), 16).problem, FileProblem::TooLarge);
    EXPECT_EQ(ReadBytes(path), "12345678");
    EXPECT_EQ(EntriesIn(folder.Path()), 1u);

    // A settings file just under the limit that a new value would take over it.
    CIniFile ini;
    ini.SetPath(path.string());
    const std::string nearlyFull = CrLf({"[int]", std::string(kMaxSettingsFileSize - 12, ';')});
    WriteBytes(path, nearlyFull);
    ASSERT_EQ(ini.ReadInt("int", "k", -1), -1);
    EXPECT_FALSE(ini.WriteInt("int", "KeyDelay", 40));
    EXPECT_EQ(ini.LastError().problem, FileProblem::TooLarge);
    EXPECT_EQ(ReadBytes(path), nearlyFull);
}

// Another program that does not take the folder's lock changes the file between the save's read
// and its rename: the save starts again from the changed file, so neither change is lost.
TEST_F(SafeFileTest, AChangeByAnotherWriterDuringASaveIsKept)
{
    struct Writer {
        std::function<void()> write;
        const char *result;
    };
    const Writer writers[] = {
        {[&] { // an editor: a new file renamed over the old one
             WriteBytes(folder.Path() / "editor", "other\n");
             fs::rename(folder.Path() / "editor", path);
         },
         "other\nmine\n"},
        {[&] { // a writer in place, as `>>` does
             std::FILE *file = std::fopen(path.c_str(), "ab");
             std::fputs("other\n", file);
             std::fclose(file);
         },
         "first\nother\nmine\n"},
        {[&] { fs::remove(path); }, "mine\n"},
    };
    for (const Writer &writer : writers) {
        WriteBytes(path, "first\n");
        int calls = 0;
        const FileError error = RewriteFile(path, [&](const std::string *current, std::string &next) {
            if (calls++ == 0)
                writer.write();
            next = (current ? *current : std::string()) + "mine\n";
            return FileError{};
        });
        EXPECT_FALSE(error.Failed());
        EXPECT_EQ(ReadBytes(path), writer.result);
        EXPECT_EQ(EntriesIn(folder.Path()), 1u);
    }

    // A file that changes under every attempt is left with the other program's content.
    int calls = 0;
    const FileError error = RewriteFile(path, [&](const std::string *, std::string &next) {
        // Growing, so that even a change within one tick of the file system's clock shows.
        WriteBytes(path, "other" + std::string(++calls, '+'));
        next = "only mine\n";
        return FileError{};
    });
    EXPECT_EQ(error.problem, FileProblem::ChangedMeanwhile);
    EXPECT_EQ(ReadBytes(path), "other" + std::string(calls, '+'));
    EXPECT_EQ(EntriesIn(folder.Path()), 1u);
}

// What a killed save left behind goes with the next save: only the caller's own regular files of
// the temporary name, and only once they are old.
TEST_F(SafeFileTest, StaleTemporaryFilesOfKilledSavesAreRemoved)
{
    WriteBytes(path, "old");
    const timespec old[2] = {{time(nullptr) - kStaleTemporaryAgeSeconds - 60, 0},
                             {time(nullptr) - kStaleTemporaryAgeSeconds - 60, 0}};
    struct Planted {
        const char *name;
        bool bOld;
        bool bStays;
        std::function<void(const fs::path &)> make = [](const fs::path &p) { WriteBytes(p, "left"); };
    };
    const Planted planted[] = {
        {".file.a1B2c3", true, false},
        {".file.Zz9Yy8", false, true},   // a save that may still run
        {".file.abc", true, true},       // not a temporary name
        {".other.a1B2c3", true, true},   // another file's
        {".file.d4E5f6", true, true, [](const fs::path &p) { fs::create_directory(p); }},
        {".file.g7H8i9", true, true, [&](const fs::path &p) { fs::create_symlink(path, p); }},
    };
    for (const Planted &p : planted) {
        p.make(folder.Path() / p.name);
        if (p.bOld) {
            ASSERT_EQ(utimensat(AT_FDCWD, (folder.Path() / p.name).c_str(), old, AT_SYMLINK_NOFOLLOW), 0);
        }
    }
    ASSERT_FALSE(SaveWholeFile(path, "new", 16).Failed());
    for (const Planted &p : planted)
        EXPECT_EQ(fs::exists(fs::symlink_status(folder.Path() / p.name)), p.bStays) << p.name;
    EXPECT_EQ(ReadBytes(path), "new");
}

TEST_F(SafeFileTest, AppendingAddsLinesToARegularFileAndCreatesItReadableByOthers)
{
    const mode_t mask = umask(022);
    EXPECT_FALSE(AppendToFile(path, "one\n").Failed());
    EXPECT_FALSE(AppendToFile(path, "two\n").Failed());
    umask(mask);
    EXPECT_EQ(ReadBytes(path), "one\ntwo\n");
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0644));
    // A link is followed: the line lands in its target and the link stays.
    const fs::path link = folder.Path() / "link";
    fs::create_symlink(path, link);
    EXPECT_FALSE(AppendToFile(link, "three\n").Failed());
    EXPECT_EQ(ReadBytes(path), "one\ntwo\nthree\n");
    EXPECT_TRUE(fs::is_symlink(link));
}

// A file that another user owns cannot keep its owner when an ordinary user saves it: refused.
TEST_F(SafeFileTest, ASaveThatWouldGiveTheFileToTheSaverIsRefused)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs a file of another user in a folder this user may write";
    fs::permissions(folder.Path(), fs::perms::all);
    WriteBytes(path, "root's");
    fs::permissions(path, fs::perms(0666));
    EXPECT_TRUE(RunAsOtherUser([&] { return SaveWholeFile(path, "nobody's", 16).problem == FileProblem::OwnerNotKept; }));
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 0u);
    EXPECT_EQ(ReadBytes(path), "root's");
    EXPECT_EQ(EntriesIn(folder.Path()), 1u);
}

// In a world-writable sticky folder a link is followed only when the caller or the folder's owner
// made it; root is tricked by no other user's link, whatever the kernel's own setting.
TEST_F(SafeFileTest, LinksInStickyFoldersFollowTheKernelsRule)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs a link of another user";
    fs::permissions(folder.Path(), fs::perms(01777));
    const fs::path victim = folder.Path() / "victim";
    WriteBytes(victim, "precious");
    const fs::path planted = folder.Path() / "planted";
    ASSERT_TRUE(RunAsOtherUser([&] { return symlink(victim.c_str(), planted.c_str()) == 0; }));
    const fs::path own = folder.Path() / "own";
    fs::create_symlink(victim, own);

    std::string bytes;
    EXPECT_EQ(ReadRegularFile(planted, bytes).problem, FileProblem::UntrustedLink);
    EXPECT_EQ(SaveWholeFile(planted, "overwritten", 64).problem, FileProblem::UntrustedLink);
    EXPECT_EQ(AppendToFile(planted, "appended").problem, FileProblem::UntrustedLink);
    EXPECT_FALSE(MayReplaceFile(planted));
    EXPECT_EQ(ReadBytes(victim), "precious");
    EXPECT_TRUE(fs::is_symlink(planted));

    EXPECT_FALSE(SaveWholeFile(own, "mine", 64).Failed());
    EXPECT_EQ(ReadBytes(victim), "mine");
    EXPECT_TRUE(fs::is_symlink(own));
}
} // namespace
