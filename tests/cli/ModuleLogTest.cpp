#include "cli/ModuleLog.h"
#include "settings/SafeFile.h"
#include "sim/VirtualHidBackend.h"
#include "support/CliRun.h"
#include "support/RecordingSink.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {
using Strings = std::vector<std::string>;

std::vector<nlohmann::json> LogLines(const std::string &path)
{
    std::ifstream file(path);
    std::vector<nlohmann::json> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(nlohmann::json::parse(line, nullptr, false));
    return lines;
}

Strings KeysOf(const nlohmann::json &line)
{
    Strings keys;
    for (const auto &item : line.items())
        keys.push_back(item.key());
    return keys;
}

// Every line has the same keys, null where there is nothing to say; a text from the module cannot
// end the string or the line early.
TEST(ModuleLogTest, EveryLineHasTheSameKeys)
{
    ModuleLogEntry full{std::chrono::system_clock::from_time_t(1796647200) + std::chrono::milliseconds(7), 1234,
                        "/dev/hidraw1", "EMU\n0001", 6, CliError::Mismatch, "校验失败", {"KEY-1 = \"\\"},
                        std::vector<ConfigDifference>{{"KEY-1", "ENTER", "ESC"}}, "desk.txt", "ab12"};
    const nlohmann::json line = nlohmann::json::parse(JsonLine(full));
    EXPECT_EQ(JsonLine(full).find('\n'), JsonLine(full).size() - 1);
    EXPECT_EQ(line["time"], "2026-12-07T12:40:00.007Z");
    EXPECT_EQ(line["serial"], "EMU\n0001");
    EXPECT_EQ(line["error_code"], "mismatch");
    EXPECT_EQ(line["verify"][0]["actual"], "ESC");
    const nlohmann::json empty = nlohmann::json::parse(JsonLine({}));
    EXPECT_EQ(KeysOf(empty), KeysOf(line));
    for (const char *key : {"node", "serial", "error_code", "error", "verify", "map_file", "map_sha256"})
        EXPECT_TRUE(empty[key].is_null()) << key;
    EXPECT_EQ(empty["ok"], true);
}

// The virtual module's backend, where the first write to the module brings the second Ctrl-C.
class CInterruptingBackend final : public IHidBackend {
public:
    explicit CInterruptingBackend(IHidBackend &backend) : m_backend(backend) {}
    std::function<void()> lastWords;

    int Init() override { return m_backend.Init(); }
    std::vector<HidDeviceInfo> Enumerate(std::uint16_t vendor, std::uint16_t product) override
    {
        return m_backend.Enumerate(vendor, product);
    }
    HidHandle OpenPath(const std::string &path) override { return m_backend.OpenPath(path); }
    bool LastOpenDenied() const override { return m_backend.LastOpenDenied(); }
    int Write(HidHandle device, const std::uint8_t *data, std::size_t length) override
    {
        if (lastWords)
            std::exchange(lastWords, nullptr)();
        return m_backend.Write(device, data, length);
    }
    int ReadTimeout(HidHandle device, std::uint8_t *data, std::size_t length, int milliseconds) override
    {
        return m_backend.ReadTimeout(device, data, length, milliseconds);
    }
    void Close(HidHandle device) override { m_backend.Close(device); }
    std::string Error(HidHandle device) override { return m_backend.Error(device); }

private:
    IHidBackend &m_backend;
};

struct LineRun {
    CRecordingSink sink;
    CVirtualModule module;
    CVirtualHidBackend virtualBackend;
    CInterruptingBackend backend{virtualBackend};
    std::string printed;
    std::function<void(std::function<void()>)> setLastWords;
    LineRun() { module.SetMarker(CVirtualModule::kValidMarker), AddStandardModule(virtualBackend, module); }
    int operator()(const std::string &log)
    {
        CliEnvironment environment{backend, 8, [](int) {}, [] { return false; }};
        environment.setLastWords = setLastWords;
        return RunCliCollecting({"apply", KeyMapFile("KEY-1 = ENTER\n"), "--each", "--count=1", "--log", log},
                                environment, printed);
    }
};

// A log that cannot be written is found before the first module; a torn last line is ended before
// the next one; a second Ctrl-C logs the module in hand as interrupted, once.
TEST(ModuleLogTest, TheLogIsCheckedFirstAndKeepsWholeLines)
{
    const std::filesystem::path folder = std::filesystem::path(KeyMapFile("")).parent_path();
    LineRun missing;
    EXPECT_EQ(missing((folder / "no-folder" / "line.jsonl").string()), CliExit::kFailed);
    EXPECT_EQ(missing.module.Writes(), 0) << "no module is touched";
    const std::string fifo = (folder / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    LineRun piped;
    EXPECT_EQ(piped(fifo), CliExit::kFailed);
    EXPECT_EQ(piped.module.Writes(), 0);

    const std::string log = (folder / "line.jsonl").string();
    std::ofstream(log) << "{\"time\":\"2026-12-07T12:";
    LineRun torn;
    EXPECT_EQ(torn(log), CliExit::kOk) << torn.printed;
    std::vector<nlohmann::json> lines = LogLines(log);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines[0].is_discarded());
    EXPECT_EQ(lines[1]["written"], Strings{"KEY-1 = ENTER"});
    EXPECT_EQ(lines[1]["map_sha256"], "7ef00d0789eaa22524ee1fae0f2baac625f057780b97f59efd3cbc305555481e");

    LineRun interrupted;
    interrupted.setLastWords = [&](const std::function<void()> &words) { interrupted.backend.lastWords = words; };
    interrupted(log);
    lines = LogLines(log);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2]["error_code"], "interrupted");
    EXPECT_EQ(lines[2]["node"], lines[1]["node"]);
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
