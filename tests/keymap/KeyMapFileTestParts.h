#pragma once

// The key-map file's fixture, shared by the tests on every system and the POSIX ones.
#include "../settings/SettingsTestFiles.h"
#include "keymap/KeyMap.h"
#include "keymap/KeyMapFile.h"
#include "support/RecordingSink.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

inline std::size_t EntriesIn(const std::filesystem::path &folder)
{
    namespace fs = std::filesystem;
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

class KeyMapFileTest : public testing::Test {
protected:
    KeyMap OneKey(const std::string &text)
    {
        KeyMap map;
        SetKey(map, {2, MakeKeyRecord(2, PageKind::Keyboard, 0, 0x28), text});
        return map;
    }

    struct RefusedCase {
        const char *name;
        std::function<void(const std::filesystem::path &)> make;
        const char *reason;
    };
    // Loading what each case makes at the path ends at once with one message giving the reason.
    void ExpectLoadingRefused(const std::vector<RefusedCase> &cases)
    {
        for (const RefusedCase &c : cases) {
            std::filesystem::remove_all(path);
            c.make(path);
            sink.messages.clear();
            EXPECT_FALSE(LoadKeyMapFile(path.string(), 8)) << c.name;
            ASSERT_EQ(sink.messages.size(), 1u) << c.name;
            EXPECT_NE(sink.messages[0].find(c.reason), std::string::npos) << sink.messages[0];
        }
    }

    CRecordingSink sink;
    CTempFolder folder;
    std::filesystem::path path = folder.Path() / "map.txt";
};

