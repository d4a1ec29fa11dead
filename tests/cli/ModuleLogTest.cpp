#include "cli/ModuleLog.h"

#include <gtest/gtest.h>

// A text from the module or an error message must not end the JSON string or the line early.
TEST(ModuleLogTest, EachModuleIsOneJsonLineWithItsTextsEscaped)
{
    ModuleLogEntry entry{std::chrono::system_clock::from_time_t(1796647200), "/dev/hidraw1", "", 8,
                         {"KEY-1 = \"\\", "KEY-2 = a\nb\x7F"}, "", ""};
    EXPECT_EQ(JsonLine(entry), "{\"time\":\"2026-12-07T12:40:00Z\",\"node\":\"/dev/hidraw1\",\"keys\":8,"
                               "\"written\":[\"KEY-1 = \\\"\\\\\",\"KEY-2 = a\\u000ab\\u007f\"]}\n");
    entry.serial = "EMU0001";
    entry.written.clear();
    entry.verify = "一致";
    entry.error = "写入失败\t(5)";
    EXPECT_EQ(JsonLine(entry), "{\"time\":\"2026-12-07T12:40:00Z\",\"node\":\"/dev/hidraw1\",\"serial\":\"EMU0001\","
                               "\"keys\":8,\"written\":[],\"verify\":\"一致\",\"error\":\"写入失败\\u0009(5)\"}\n");
}
