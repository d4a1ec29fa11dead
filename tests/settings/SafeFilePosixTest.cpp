#include "OtherUser.h"
#include "SafeFileTestParts.h"

#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
// What is no regular file is neither read, saved nor appended to, and nothing blocks.
TEST_F(SafeFileTest, FifosDevicesAndFoldersAreNeitherReadNorWritten)
{
    ExpectOnlyRegularFilesWithinTheLimit(
        path, {
                  {"fifo", [](const fs::path &p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); }, FileProblem::NotRegular,
                   FileProblem::System /* no reader: ENXIO at once */},
                  {"link to /dev/zero", [](const fs::path &p) { fs::create_symlink("/dev/zero", p); },
                   FileProblem::NotRegular, FileProblem::NotRegular},
                  {"folder", [](const fs::path &p) { fs::create_directory(p); }, FileProblem::NotRegular,
                   FileProblem::System /* EISDIR */},
              });
}

void MakeOldLink(const fs::path &path)
{
    const timespec old = {time(nullptr) - kStaleTemporaryAgeSeconds - 60, 0};
    const timespec times[2] = {old, old};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}

MakeInFolder WithMode(mode_t mode)
{
    return [=](const fs::path &folder) { fs::permissions(folder, fs::perms(mode)); };
}

// The same for what only POSIX has: owners, sticky folders, links and the folder's lock.
TEST_F(SafeFileTest, ASaveChangesItsFileAndNothingElseWhateverItsOwnerAndFolder)
{
    int heldLock = -1;
    std::vector<SaveCase> cases = {
        {"a leftover that is a link stays",
         MakeAll({MakeFile("file"),
                  [](const fs::path &f) {
                      fs::create_symlink(f / "file", f / ".file.tavrin-g7H8i9");
                      MakeOldLink(f / ".file.tavrin-g7H8i9");
                  }}),
         FileProblem::None},
        {"the caller's file in a sticky folder", MakeAll({MakeFile("file"), WithMode(01777)}), FileProblem::None},
        {"a folder another save holds locked",
         MakeAll({MakeFile("file"),
                  [&](const fs::path &f) {
                      heldLock = open(f.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
                      ASSERT_EQ(flock(heldLock, LOCK_EX), 0);
                  }}),
         FileProblem::Busy},
    };
    if (geteuid() == 0) { // to give files to another user
        cases.insert(
            cases.end(),
            {
                {"another user's leftovers stay",
                 MakeAll({MakeFile(".file.tavrin-a1B2c3"),
                          [](const fs::path &f) { GiveToOtherUser(f / ".file.tavrin-a1B2c3"); }, WithMode(0700)}),
                 FileProblem::None},
                {"another user's file in a sticky folder",
                 MakeAll({MakeFile("file"), [](const fs::path &f) { GiveToOtherUser(f / "file"); }, WithMode(01777)}),
                 FileProblem::ForeignFile, FileProblem::ForeignFile},
                {"the folder owner's file in a sticky folder",
                 MakeAll({MakeFile("file"),
                          [](const fs::path &f) {
                              GiveToOtherUser(f / "file");
                              GiveToOtherUser(f);
                          },
                          WithMode(01777)}),
                 FileProblem::None},
            });
    }
    ExpectEachSaveChangesOnlyItsFile(folder.Path(), cases);
    if (heldLock >= 0)
        close(std::exchange(heldLock, -1));
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
