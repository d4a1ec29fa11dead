#include "sim/VirtualHidBackend.h"
#include "support/CliRun.h"
#include "support/RecordingSink.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {
using Strings = std::vector<std::string>;

struct CliRun {
    CRecordingSink sink;
    CVirtualModule module;
    CVirtualHidBackend backend;
    std::string printed;
    CliRun() { module.SetMarker(CVirtualModule::kValidMarker), AddStandardModule(backend, module); }
    int operator()(const Strings &args) { return RunCliCollecting(args, {backend, 8, [](int) {}, [] { return false; }}, printed); }
};

// Every number an option takes is read by one strict rule, and "--" ends the options.
TEST(CliArguments, NumbersAreStrictAndDoubleDashEndsTheOptions)
{
    const std::string map = KeyMapFile("KEY-1 = ENTER\n");
    struct Case {
        Strings args;
        int status;
    };
    const Case cases[] = {
        {{"apply", map, "--each", "--count", "1x"}, 2},
        {{"apply", map, "--each", "--count", "+1"}, 2},
        {{"apply", map, "--each", "--count", "0"}, 2},
        {{"params", "--debounce", "30x"}, 2},
        {{"params", "--debounce", " 30"}, 2},
        {{"info", "--wait", "1x"}, 2},
        {{"apply", map, "--", "--verify"}, 2}, // a second file, not the option
        {{"info", "--", "--help"}, 2},
        {{"apply", "--each", "--count", "1", "--", map}, 0},
    };
    for (const Case &c : cases) {
        CliRun run;
        EXPECT_EQ(run(c.args), c.status) << testing::PrintToString(c.args);
        if (c.status != 0) {
            EXPECT_LE(run.module.Writes(), 1) << testing::PrintToString(c.args);
        }
    }
    // A file whose name looks like an option is read after "--".
    const auto folder = std::filesystem::path(map).parent_path();
    std::filesystem::copy_file(map, folder / "--verify");
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    CliRun run;
    EXPECT_EQ(run({"apply", "--", "--verify"}), 0) << run.printed;
    EXPECT_NE(run.printed.find("KEY-1 = ENTER"), std::string::npos);
    std::filesystem::current_path(previous);
}

std::string Translated(const std::string &source, int)
{
    return "[" + source + "]";
}

// list says why an interface could not be opened in the run's language; input quoted in a
// message has its control bytes escaped.
TEST(CliArguments, MessagesAreTranslatedAndQuoteInputSafely)
{
    SetTextTranslator(&Translated);
    CliRun denied;
    denied.module.faults.denyOpen = true;
    EXPECT_EQ(denied({"list"}), 3);
    SetTextTranslator(nullptr);
    EXPECT_NE(denied.printed.find("无法打开：[模块已连接，但没有权限打开它。"), std::string::npos) << denied.printed;

    CliRun unknown;
    EXPECT_EQ(unknown({"\x1b]0;x\x07"}), 2);
    EXPECT_EQ(unknown.sink.messages, Strings{"未知的命令：\\x1B]0;x\\x07（见 tavrin-cli --help）"});
}

// Output that cannot be written (a full disk, a closed pipe) makes the run fail.
TEST(CliArguments, AFailedWriteOfTheOutputIsAFailure)
{
    CliRun run;
    std::FILE *full = std::fopen("/dev/full", "w");
    ASSERT_TRUE(full);
    CliEnvironment environment{run.backend, 8, [](int) {}, [] { return false; }, full};
    EXPECT_EQ(RunCli({"list"}, environment), CliExit::kFailed);
    std::fclose(full);
    ASSERT_EQ(run.sink.messages.size(), 1u);
    EXPECT_EQ(run.sink.messages[0].rfind("输出没有全部写出", 0), 0u) << run.sink.messages[0];

    // A production log that cannot take the module's line: the line goes on, the run fails.
    CliRun logged;
    const std::string map = KeyMapFile("KEY-1 = ENTER\n");
    const std::string folder = std::filesystem::path(map).parent_path().string();
    EXPECT_EQ(logged({"apply", map, "--each", "--count", "1", "--log", folder}), CliExit::kFailed);
    EXPECT_NE(logged.printed.find("写入完成"), std::string::npos) << logged.printed;
}
} // namespace
