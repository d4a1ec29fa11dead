#include "keymap/KeyMap.h"
#include "keymap/KeyMapReader.h"
#include "keymap/ModuleConfig.h"

#include <gtest/gtest.h>

namespace {
ModuleSnapshot Module(const ModuleParameters &parameters)
{
    ModuleSnapshot module;
    module.parameters = parameters;
    module.keyCount = 13;
    module.keys.assign(kReadableKeys, KeyRecord{});
    for (int key = 0; key < kReadableKeys; ++key)
        module.keys[static_cast<std::size_t>(key)] = MakeKeyRecord(key, PageKind::GamePad, 1, 0);
    return module;
}
} // namespace

// Verify compares every item a map names, each parameter included, and lists a key the reply does
// not reach as not checked, never as a match.
TEST(ModuleConfig, VerifyComparesEveryItemTheMapNames)
{
    const ModuleParameters held{1, 2, 0, 40}; // baud, work mode, long-press, debounce
    struct Case {
        const char *map;
        std::vector<ConfigDifference> differences;
    };
    const Case cases[] = {
        {"long-press = no\n", {{"long-press", "no", "yes"}}},
        {"debounce = 30\n", {{"debounce", "30", "40"}}},
        {"work-mode = 3\n", {{"work-mode", "3", "2"}}},
        {"baud = 0\n", {{"baud", "0", "1"}}},
        {"KEY-2 = GameKey2\n", {{"KEY-2", "GameKey2", "GameKey1"}}},
        {"KEY-2 = GameKey1\nlong-press = yes\ndebounce = 40\nwork-mode = 2\nbaud = 1\n", {}},
    };
    for (const Case &c : cases) {
        const KeyMapResult read = ParseKeyMap(c.map, 13);
        ASSERT_TRUE(read.map) << c.map;
        EXPECT_EQ(CompareWithModule(*read.map, Module(held)).differences, c.differences) << c.map;
    }
    // What a dump writes of a module matches that module.
    EXPECT_TRUE(CompareWithModule(KeyMapOfModule(Module(held)), Module(held)).Matches());

    const VerifyReport beyond = CompareWithModule(*ParseKeyMap("KEY-13 = GameKey1\n", 13).map, Module(held));
    EXPECT_EQ(beyond.unreadableKeys, std::vector<int>{12});
    EXPECT_EQ(beyond.comparedKeys, 0);
}
