#include "SettingsTestFiles.h"

#include "settings/IniFile.h"
#include "settings/SafeFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
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

// What a folder holds: each entry's bytes, a link's target after "->", "/" for a folder.
std::map<std::string, std::string> Contents(const fs::path &folder)
{
    std::map<std::string, std::string> contents;
    for (const fs::directory_entry &entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        contents[name] = entry.is_symlink() ? "->" + fs::read_symlink(entry).string()
                         : entry.is_directory() ? "/"
                                                : ReadBytes(entry.path());
    }
    return contents;
}

void MakeOld(const fs::path &path)
{
    const timespec old = {time(nullptr) - kStaleTemporaryAgeSeconds - 60, 0};
    const timespec times[2] = {old, old};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}

// A save changes the file it saves and nothing else in its folder, but the leftovers of killed
// saves, or it changes nothing at all: whatever the file's name, owner, folder and links.
TEST_F(SafeFileTest, ASaveChangesItsFileAndNothingElse)
{
    const std::string longName(255, 'n');
    int heldLock = -1;
    struct Case {
        const char *name;
        std::function<void(const fs::path &folder)> make;
        FileProblem save;
        FileProblem append = FileProblem::None;
        std::set<std::string> removed = {}; // leftovers the save clears
        std::string file = "file";
        mode_t folderMode = 0700;
        bool bNeedsRoot = false; // to give files to another user
        FileWarning warning = FileWarning::None;
    };
    const auto file = [](const std::string &name, bool bOld = true) {
        return [=](const fs::path &folder) {
            WriteBytes(folder / name, "left");
            if (bOld)
                MakeOld(folder / name);
        };
    };
    const auto all = [](std::vector<std::function<void(const fs::path &)>> makes) {
        return [=](const fs::path &folder) {
            for (const auto &make : makes)
                make(folder);
        };
    };
    const Case cases[] = {
        {"killed saves' leftovers go, a user's look-alikes stay",
         all({file("file"), file(".file.tavrin-a1B2c3"), file(".file.tavrin-Zz9Yy8", false), file(".file.OLD123"),
              file(".file.backup"), file(".file.a1B2c3"), file(".other.tavrin-a1B2c3"),
              [](const fs::path &f) { fs::create_directory(f / ".file.tavrin-d4E5f6"); MakeOld(f / ".file.tavrin-d4E5f6"); },
              [](const fs::path &f) { fs::create_symlink(f / "file", f / ".file.tavrin-g7H8i9"); MakeOld(f / ".file.tavrin-g7H8i9"); }}),
         FileProblem::None, FileProblem::None, {".file.tavrin-a1B2c3"}},
        {"another user's leftovers stay",
         all({file(".file.tavrin-a1B2c3"), [](const fs::path &f) { GiveToOtherUser(f / ".file.tavrin-a1B2c3"); }}),
         FileProblem::None, FileProblem::None, {}, "file", 0700, true},
        {"a name as long as the folder takes, and its leftovers",
         all({file(longName), file("." + longName.substr(0, 240) + ".tavrin-a1B2c3")}), FileProblem::None,
         FileProblem::None, {"." + longName.substr(0, 240) + ".tavrin-a1B2c3"}, longName},
        {"the caller's file in a sticky folder", file("file"), FileProblem::None, FileProblem::None, {}, "file", 01777},
        {"another user's file in a sticky folder",
         all({file("file"), [](const fs::path &f) { GiveToOtherUser(f / "file"); }}), FileProblem::ForeignFile,
         FileProblem::ForeignFile, {}, "file", 01777, true},
        {"the folder owner's file in a sticky folder",
         all({file("file"), [](const fs::path &f) { GiveToOtherUser(f / "file"); GiveToOtherUser(f); }}),
         FileProblem::None, FileProblem::None, {}, "file", 01777, true},
        {"a file with a second hard link",
         all({file("file"), [](const fs::path &f) { fs::create_hard_link(f / "file", f / "second"); }}),
         FileProblem::None, FileProblem::None, {}, "file", 0700, false, FileWarning::OtherLinksKeepOldContent},
        {"a folder another save holds locked",
         all({file("file"),
              [&](const fs::path &f) {
                  heldLock = open(f.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
                  ASSERT_EQ(flock(heldLock, LOCK_EX), 0);
              }}),
         FileProblem::Busy},
    };
    int number = 0;
    for (const Case &c : cases) {
        if (c.bNeedsRoot && geteuid() != 0)
            continue;
        const fs::path place = folder.Path() / std::to_string(++number);
        fs::create_directory(place);
        c.make(place);
        fs::permissions(place, fs::perms(c.folderMode));
        std::map<std::string, std::string> expected = Contents(place);

        const FileError saved = SaveWholeFile(place / c.file, "new", 64);
        EXPECT_EQ(saved.problem, c.save) << c.name;
        EXPECT_EQ(saved.warning, c.warning) << c.name;
        if (!saved.Failed()) {
            expected[c.file] = "new";
            for (const std::string &name : c.removed)
                expected.erase(name);
        }
        EXPECT_EQ(Contents(place), expected) << c.name;

        EXPECT_EQ(AppendToFile(place / c.file, "+").problem, c.append) << c.name;
        EXPECT_EQ(ReadBytes(place / c.file), expected[c.file] + (c.append == FileProblem::None ? "+" : ""))
            << c.name;
        if (heldLock >= 0)
            close(std::exchange(heldLock, -1));
    }
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
