#include "LineRun.h"

#include "cli/ModuleLog.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>

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

// A log that cannot be written is found before the first module; a torn last line is ended before
// the next one; a second Ctrl-C logs the module in hand as interrupted, once.
TEST(ModuleLogTest, TheLogIsCheckedFirstAndKeepsWholeLines)
{
    const std::filesystem::path folder = std::filesystem::path(KeyMapFile("")).parent_path();
    LineRun missing;
    EXPECT_EQ(missing((folder / "no-folder" / "line.jsonl").string()), CliExit::kFailed);
    EXPECT_EQ(missing.module.Writes(), 0) << "no module is touched";

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
} // namespace
