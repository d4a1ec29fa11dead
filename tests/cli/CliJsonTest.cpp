#include "cli/Cli.h"
#include "sim/VirtualHidBackend.h"
#include "support/CliRun.h"
#include "support/RecordingSink.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <functional>

namespace {
using Strings = std::vector<std::string>;

std::string Marked(const std::string &source, int)
{
    return "«" + source + "»";
}

// Whether a translated text reached any value: a script must read the same words in every language.
bool HoldsTranslation(const nlohmann::json &value)
{
    if (value.is_string())
        return value.get<std::string>().find("«") != std::string::npos;
    return value.is_structured() && std::any_of(value.begin(), value.end(), [](const nlohmann::json &item) { return HoldsTranslation(item); });
}

// Each command's --json result is one object on one line: its own keys and the four every result
// has, with values that no translation touches, and the error code that names the failure.
TEST(CliJson, EachCommandGivesOneObjectWithStableKeysAndCodes)
{
    const std::string map = KeyMapFile("KEY-1 = ENTER\nKEY-13 = ESC\ndebounce = 40\n");
    struct Case {
        Strings args;
        std::function<void(CVirtualModule &)> setUp;
        Strings keys;
        const char *errorCode; // nullptr: success
    };
    const auto absent = [](CVirtualModule &m) { m.faults.absent = true; };
    const Case cases[] = {
        {{"list", "--json"}, nullptr, {"interfaces"}, nullptr},
        {{"list", "--json"}, [](CVirtualModule &m) { m.faults.denyOpen = true; }, {"interfaces"}, "open_failed"},
        {{"info", "--json"}, nullptr, {"node", "serial", "work_mode", "trigger_level", "key_count"}, nullptr},
        {{"info", "--json"}, absent, {}, "no_module"},
        {{"info", "--json"}, [](CVirtualModule &m) { m.SetMarker(0x00); }, {}, "invalid_marker"},
        {{"info", "--json"}, [](CVirtualModule &m) { m.faults.readTimeout = true; }, {}, "no_reply"},
        {{"verify", map, "--json"}, nullptr, {"matches", "compared_keys", "differences", "unreadable_keys"}, "mismatch"},
        {{"verify", KeyMapFile("KEY-99 = ENTER\n"), "--json"}, nullptr, {}, "bad_key_map"},
        {{"dump", "--json"}, nullptr, {"parameters", "key_count", "keys", "unreadable_keys", "file"}, nullptr},
        {{"dump", "--json", "--count=1"}, nullptr, {}, "usage"},
    };
    SetTextTranslator(&Marked);
    for (const Case &c : cases) {
        const std::string name = testing::PrintToString(c.args);
        CRecordingSink sink;
        CVirtualModule module;
        std::string printed;
        const int status = RunCliOnModule(module, c.setUp, c.args, 13, printed);
        ASSERT_EQ(printed.find('\n'), printed.size() - 1) << name << ": one line\n" << printed;
        const nlohmann::json result = nlohmann::json::parse(printed, nullptr, false);
        ASSERT_TRUE(result.is_object()) << name << ": " << printed;
        for (const std::string &key : Strings{"ok", "exit", "error_code", "error"})
            EXPECT_TRUE(result.contains(key)) << name << ": " << key;
        for (const std::string &key : c.keys)
            EXPECT_TRUE(result.contains(key)) << name << ": " << key << " in " << printed;
        EXPECT_EQ(result["exit"], status) << name;
        EXPECT_EQ(result["ok"], c.errorCode == nullptr) << name;
        if (c.errorCode) {
            EXPECT_EQ(result["error_code"], c.errorCode) << name;
        }
        EXPECT_FALSE(HoldsTranslation(result)) << name << ": " << printed;
    }
    SetTextTranslator(nullptr);
}
} // namespace
