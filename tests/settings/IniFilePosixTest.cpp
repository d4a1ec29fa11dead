#include "IniFileTestParts.h"

#include <csignal>
#include <functional>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
// Names planted beside the file, as anyone who may write the folder could: the old fixed
// temporary name and the old write probe, as links to another file and as a folder.
TEST_F(IniFileTest, NamesPlantedBesideTheFileAreNeverWrittenThrough)
{
    WriteFile({"[int]", "k=" + Scrambled("1")});
    const fs::path victim = folder.Path() / "victim";
    WriteBytes(victim, "precious");
    for (const char *name : {"test.ini.tmp", ".tavrin-write-test", ".test.ini.tmp"})
        fs::create_symlink(victim, folder.Path() / name);
    fs::create_directory(folder.Path() / ".test.ini.XXXXXX");
    for (int round = 0; round < 20; ++round)
        ASSERT_TRUE(ini.WriteInt("int", "k", round));
    EXPECT_EQ(ReadBytes(victim), "precious");
    EXPECT_FALSE(fs::is_symlink(path));
    EXPECT_EQ(ini.ReadInt("int", "k", -1), 19);
}

// A save leaves nothing behind: the folder holds only the file.
std::size_t EntriesIn(const fs::path &folder)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST_F(IniFileTest, ALinkedFileIsSavedAtItsTargetAndStaysALink)
{
    CTempFolder elsewhere;
    const fs::path target = elsewhere.Path() / "real.ini";
    WriteBytes(target, CrLf({"[int]", "k=" + Scrambled("1")}));
    fs::create_symlink(target, path);
    ASSERT_TRUE(ini.WriteInt("int", "k", 25));
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_EQ(ReadBytes(target), CrLf({"[int]", "k=" + Scrambled("25")}));
    EXPECT_EQ(EntriesIn(elsewhere.Path()), 1u);
}

TEST_F(IniFileTest, ASaveKeepsOwnerGroupAndMode)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another owner";
    WriteFile({"[int]"});
    ASSERT_EQ(chown(path.c_str(), 12345, 23456), 0);
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(ini.WriteInt("int", "k", 1));
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ((std::vector<unsigned>{info.st_uid, info.st_gid, info.st_mode & 07777u}),
              (std::vector<unsigned>{12345, 23456, 0640}));
}

// Two processes save their own values into the same file, round after round, each with the lines
// of its own last load: every value of both ends in the file.
TEST_F(IniFileTest, ConcurrentSavesFromTwoProcessesLoseNoLine)
{
    WriteFile({"[int]"});
    constexpr int kRounds = 60;
    const auto key = [](int child, int round) { return "p" + std::to_string(child) + "-" + std::to_string(round); };
    pid_t children[2] = {};
    for (int child = 0; child < 2; ++child) {
        if ((children[child] = fork()) == 0) {
            bool bSaved = true;
            for (int round = 0; round < kRounds; ++round) {
                bool bRound = ini.WriteInt("int", key(child, round), round);
                // The other process kept the folder locked longer than a save waits: try again,
                // as the user told so would.
                while (!bRound && ini.LastError().problem == FileProblem::Busy)
                    bRound = ini.Save();
                bSaved = bRound && bSaved;
            }
            _exit(bSaved ? 0 : 1);
        }
    }
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (int round = 0; round < kRounds; ++round) {
        for (int child = 0; child < 2; ++child)
            EXPECT_EQ(ini.ReadInt("int", key(child, round), -1), round) << key(child, round);
    }
    EXPECT_EQ(EntriesIn(folder.Path()), 1u);
}

// What the lines cannot keep is refused by loads and saves alike, and the file keeps every byte.
TEST_F(IniFileTest, WhatTheLinesCannotKeepIsRefusedAndLeftAsItWas)
{
    const std::pair<std::string, FileProblem> contents[] = {
        {"[int]\r\n\x1A" "k=1\r\n", FileProblem::TextAfterEnd},
        {std::string("\xFF\xFE[\0i\0n\0t\0]\0\r\0\n\0", 16), FileProblem::Utf16OrNul},
        {std::string("\xFE\xFF\0[", 4), FileProblem::Utf16OrNul},
        {std::string("[int]\r\nk=\0\r\n", 11), FileProblem::Utf16OrNul},
        {"[int]\r\n" + std::string(kMaxSettingsFileSize, ';'), FileProblem::TooLarge},
    };
    const std::function<void()> specials[] = {
        [&] { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); },
        [&] { fs::create_symlink("/dev/zero", path); },
        [&] { fs::create_directory(path); },
    };
    for (std::size_t i = 0; i < std::size(contents) + std::size(specials); ++i) {
        fs::remove_all(path);
        const bool bContent = i < std::size(contents);
        bContent ? WriteBytes(path, contents[i].first) : specials[i - std::size(contents)]();
        const fs::file_type type = fs::symlink_status(path).type();
        const FileProblem problem = bContent ? contents[i].second : FileProblem::NotRegular;
        CIniFile doc;
        doc.SetPath(path);
        EXPECT_FALSE(doc.Load()) << i;
        EXPECT_EQ(doc.LastError().problem, problem) << i;
        EXPECT_FALSE(doc.WriteInt("int", "k", 25)) << i;
        EXPECT_EQ(doc.LastError().problem, problem) << i;
        EXPECT_NE(ComposeText(DescribeFileError(doc.LastError(), FileAction::Save, path)).find(path), std::string::npos);
        if (bContent) {
            EXPECT_EQ(ReadBytes(path), contents[i].first) << i;
        }
        EXPECT_EQ(fs::symlink_status(path).type(), type) << i;
        EXPECT_EQ(EntriesIn(folder.Path()), 1u) << i;
    }
}

TEST_F(FailedSaveTest, DiskFullPartWayThrough)
{
    // A file size limit makes the write of the temporary file fail after a few bytes, as a full
    // disk would; the process ignores the signal that would otherwise end it.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit limit = previous;
    limit.rlim_cur = 8;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const bool bSaved = ini.WriteInt("int", "k", 25);
    setrlimit(RLIMIT_FSIZE, &previous);

    EXPECT_FALSE(bSaved);
    ExpectOldFileIntact();
    EXPECT_EQ(EntriesIn(folder.Path()), 1u);
}

// Saving the values a file already holds leaves it untouched, its LF line ends too: closing the
// window without a change costs no rewrite. A changed value replaces the file.
TEST_F(IniFileTest, ASaveRewritesTheFileOnlyWhenAValueChanges)
{
    for (const auto &[delay, rewritten] : {std::pair{30, false}, std::pair{31, true}}) {
        const std::string bytes = "[int]\nKeyHold=" + Scrambled("1") + "\nKeyDelay=" + Scrambled("30") + "\n";
        WriteBytes(path, bytes);
        struct stat before {};
        ASSERT_EQ(::stat(path.c_str(), &before), 0);
        ini.SetInt("int", "KeyHold", 1);
        ini.SetInt("int", "KeyDelay", delay);
        ASSERT_TRUE(ini.Save());
        struct stat after {};
        ASSERT_EQ(::stat(path.c_str(), &after), 0);
        EXPECT_EQ(after.st_ino != before.st_ino, rewritten) << delay;
        EXPECT_EQ(ReadBytes(path) == bytes, !rewritten) << delay;
        EXPECT_EQ(ini.ReadInt("int", "KeyDelay", 0), delay);
    }
}

// A save that sets the values a load found skips the file only while nothing replaced it: a value

TEST_F(IniFileTest, ASaveKeepsTheFilesPermissionsAndLeavesNoTemporaryFile)
{
    WriteFile({"[int]"});
    // Not 0600, the mode the temporary file has anyway.
    fs::permissions(path, fs::perms(0640));
    ini.ReadInt("int", "k", 0);
    ASSERT_TRUE(ini.WriteInt("int", "k", 1));
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0640));
    EXPECT_EQ(EntriesIn(folder.Path()), 1u);
}} // namespace
