#include "sim/VirtualHidBackend.h"
#include "support/CliRun.h"
#include "support/RecordingSink.h"
#include "cli/CliArguments.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

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

// The argument layer: each line is checked whole before any search, and a refusal names the word
// it refused.
TEST(CliArguments, ArgumentLinesAndWhatTheyMean)
{
    struct Case {
        Strings args;
        const char *refusal; // a part of the usage error's text; "" for a line that is taken
        std::function<bool(const CliArguments &)> meaning = nullptr;
    };
    const Case cases[] = {
        {{"info", "--wait"}, "", [](auto &a) { return a.waitMs == -1; }},
        {{"info", "--wait=2"}, "", [](auto &a) { return a.waitMs == 2000; }},
        // --wait never takes the next word: "5" is the file to dump into.
        {{"dump", "--wait", "5"}, "", [](auto &a) { return a.waitMs == -1 && a.operands == Strings{"5"}; }},
        {{"info", "--wait=1x"}, "info 的参数不对：--wait"},
        {{"list", "--wait"}, "list 的参数不对：--wait"},
        {{"apply", "m", "--each", "--count=3", "--log=l"}, "", [](auto &a) { return a.count == 3 && a.log == "l"; }},
        {{"apply", "m", "--each", "--count", "+1"}, "apply 的参数不对：--count"},
        {{"apply", "m", "--each", "--count", "0"}, "apply 的参数不对：--count"},
        {{"apply", "m", "--count", "1"}, "apply 的参数不对：--count"},
        {{"apply", "m", "--log", "l"}, "apply 的参数不对：--log"},
        {{"apply", "m", "--each", "--log"}, "apply 的参数不对：--log"},
        {{"apply", "m", "--verify=no"}, "apply 的参数不对：--verify"},
        {{"params", "--debounce", "9"}, "注意，按键消抖值不能小于10 MS"},
        {{"params", "--debounce", " 30"}, "params 的参数不对：--debounce"},
        {{"params", "--long-press=maybe"}, "params 的参数不对：--long-press"},
        {{"params"}, "params 的参数不对：--long-press, --debounce"},
        {{"params", "--long-press", "no"}, "", [](auto &a) { return a.longPress == 1 && !a.debounce; }},
        {{"info", "--serial", "A", "--device", "B"}, "--device 和 --serial 只能用一个"},
        {{"info", "--serial="}, "info 的参数不对：--serial"},
        {{"info", "--bogus"}, "info 的参数不对：--bogus"},
        {{"write", "--json", "KEY-1", "ENTER"}, "write 的参数不对：--json"},
        {{"--bogus", "info"}, "--bogus"},
        {{"--bogus"}, "未知的选项：--bogus"},
        {{"flash"}, "未知的命令：flash"},
        {{"info", "--", "--help"}, "info 的参数不对：--help"},
        {{"apply", "--", "--verify"}, "", [](auto &a) { return !a.verify && a.operands == Strings{"--verify"}; }},
        {{"apply", "m", "--", "--verify"}, "apply 的参数不对：--verify"},
        {{"dump", "--", "--lang"}, "", [](auto &a) { return !a.language && a.operands == Strings{"--lang"}; }},
        {{"info", "--lang=en", "--json"}, "", [](auto &a) { return a.language == "en" && a.json; }},
        {{"write", "KEY-1"}, "write 的参数不对：KEY-1"},
        {{"reset", "3"}, "reset 的参数不对：3"},
        {{"help"}, "", [](auto &a) { return a.help && a.command.empty(); }},
        {{"verify", "--help"}, "", [](auto &a) { return a.help && a.command == "verify"; }},
        {{"--version"}, "", [](auto &a) { return a.version; }},
    };
    for (const Case &c : cases) {
        const CliArguments arguments = ReadCliArguments(c.args);
        const std::string refusal = arguments.error ? ComposeText(*arguments.error) : std::string();
        if (*c.refusal)
            EXPECT_NE(refusal.find(c.refusal), std::string::npos) << testing::PrintToString(c.args) << ": " << refusal;
        else
            EXPECT_TRUE(refusal.empty() && c.meaning(arguments)) << testing::PrintToString(c.args) << ": " << refusal;
    }
}

// A refused line reaches no module; "-" is standard input and output; a file whose name looks like
// an option is read after "--".
TEST(CliArguments, RefusalsSearchNothingAndDashIsTheStandardStreams)
{
    CliRun refused;
    EXPECT_EQ(refused({"params", "--debounce", "9"}), CliExit::kUsage);
    EXPECT_EQ(refused.backend.EnumerateCalls(), 0);

    CliRun dumped;
    EXPECT_EQ(dumped({"dump", "-"}), CliExit::kOk);
    EXPECT_NE(dumped.printed.find("long-press = "), std::string::npos) << dumped.printed;
    CliRun applied;
    std::FILE *map = std::tmpfile();
    std::fputs("KEY-1 = ENTER\n", map);
    std::rewind(map);
    CliEnvironment environment{applied.backend, 8, [](int) {}, [] { return false; }};
    environment.in = map;
    EXPECT_EQ(RunCliCollecting({"apply", "-"}, environment, applied.printed), CliExit::kOk);
    std::fclose(map);
    EXPECT_EQ(applied.printed, "KEY-1 = ENTER\n");

    const std::string file = KeyMapFile("KEY-1 = ENTER\n");
    const auto folder = std::filesystem::path(file).parent_path();
    std::filesystem::copy_file(file, folder / "--verify");
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

    // A module's serial is the device's word: list prints its control bytes escaped.
    CliRun escaped;
    escaped.backend.AddInterface(escaped.module, 0x0B05, 0x185F, 1, "virtual/x", "EMU\x1b[2J");
    EXPECT_EQ(escaped({"list"}), 0);
    EXPECT_NE(escaped.printed.find("EMU\\x1B[2J"), std::string::npos) << escaped.printed;
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
}
} // namespace
