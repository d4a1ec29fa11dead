#include "LineRun.h"
#include "settings/SafeFile.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {
// A FIFO given as the log is refused before the first module, without waiting for a reader.
TEST(ModuleLogTest, AFifoAsTheLogIsRefusedBeforeTheFirstModule)
{
    const std::filesystem::path folder = std::filesystem::path(KeyMapFile("")).parent_path();
    const std::string fifo = (folder / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    LineRun piped;
    EXPECT_EQ(piped(fifo), CliExit::kFailed);
    EXPECT_EQ(piped.module.Writes(), 0);
}

// A write that does not go through whole is cut back, so the log keeps whole lines.
TEST(ModuleLogTest, AShortWriteIsCutBack)
{
    const std::string log = (std::filesystem::path(KeyMapFile("")).parent_path() / "short.jsonl").string();
    ASSERT_FALSE(AppendLineToFile(log, "{\"a\":1}\n").Failed());
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 20;
    setrlimit(RLIMIT_FSIZE, &small);
    const FileError error = AppendLineToFile(log, std::string(40, 'x') + "\n");
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, handler);
    EXPECT_TRUE(error.Failed());
    std::stringstream content;
    content << std::ifstream(log).rdbuf();
    EXPECT_EQ(content.str(), "{\"a\":1}\n");
}
} // namespace
