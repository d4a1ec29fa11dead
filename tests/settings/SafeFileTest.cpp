#include "SafeFileTestParts.h"

#include "settings/IniFile.h"
#include "settings/Utf8Path.h"

#include <fstream>
#include <utility>

namespace fs = std::filesystem;

namespace {
// Reading, saving and appending refuse what is no regular file without blocking or reading on,
// and a read stops at its caller's limit.
TEST_F(SafeFileTest, OnlyRegularFilesWithinTheLimitAreReadOrWritten)
{
    const std::vector<ReadCase> cases = {
        {"over the limit", [](const fs::path &p) { WriteBytes(p, std::string(17, 'x')); }, FileProblem::TooLarge,
         FileProblem::None},
        {"empty", [](const fs::path &p) { WriteBytes(p, ""); }, FileProblem::None, FileProblem::None},
    };
    ExpectOnlyRegularFilesWithinTheLimit(path, cases);
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
    ini.SetPath(Utf8FromPath(path));
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
             std::ofstream(path, std::ios::binary | std::ios::app) << "other\n";
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

// A save changes the file it saves and nothing else in its folder, but the leftovers of killed
// saves, or it changes nothing at all: whatever the file's name and links.
TEST_F(SafeFileTest, ASaveChangesItsFileAndNothingElse)
{
    const std::string longName(255, 'n');
    const std::string longLeftover = "." + longName.substr(0, 240) + ".tavrin-a1B2c3";
    ExpectEachSaveChangesOnlyItsFile(
        folder.Path(),
        {
            {"killed saves' leftovers go, a user's look-alikes stay",
             MakeAll({MakeFile("file"), MakeFile(".file.tavrin-a1B2c3"), MakeFile(".file.tavrin-Zz9Yy8", false),
                      MakeFile(".file.OLD123"), MakeFile(".file.backup"), MakeFile(".file.a1B2c3"),
                      MakeFile(".other.tavrin-a1B2c3"),
                      [](const fs::path &f) { fs::create_directory(f / ".file.tavrin-d4E5f6"); }}),
             FileProblem::None, FileProblem::None, {".file.tavrin-a1B2c3"}},
            {"a name as long as the folder takes, and its leftovers", MakeAll({MakeFile(longName), MakeFile(longLeftover)}),
             FileProblem::None, FileProblem::None, {longLeftover}, longName},
            {"a file with a second hard link",
             MakeAll({MakeFile("file"), [](const fs::path &f) { fs::create_hard_link(f / "file", f / "second"); }}),
             FileProblem::None, FileProblem::None, {}, "file", FileWarning::OtherLinksKeepOldContent},
        });
}

// A log's line lands whole after whole lines: a last line a crash left without its end is ended
// first. An empty line only makes sure the file can be appended to.
TEST_F(SafeFileTest, AppendingALineEndsATornLastLineFirst)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", "{\"a\":1}\n"}, {"{\"t\":0}\n", "{\"t\":0}\n{\"a\":1}\n"}, {"{\"t\":", "{\"t\":\n{\"a\":1}\n"}};
    for (const auto &[before, after] : cases) {
        WriteBytes(path, before);
        EXPECT_FALSE(AppendLineToFile(path, "{\"a\":1}\n").Failed()) << before;
        EXPECT_EQ(ReadBytes(path), after) << before;
    }
    fs::remove(path);
    EXPECT_FALSE(AppendLineToFile(path, "").Failed());
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(ReadBytes(path), "");
}
} // namespace
