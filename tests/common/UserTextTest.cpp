#include "common/UserText.h"

#include <gtest/gtest.h>

TEST(UserText, ComposeFillsPlacesAndKeepsOtherPercentSigns)
{
    const struct {
        const char *pattern;
        std::vector<std::string> args;
        const char *expected;
    } cases[] = {
        {"第 %1 行：%2", {"3", "%1"}, "第 3 行：%1"}, // a value is never expanded again
        {"%2-%1", {"a", "b"}, "b-a"},
        {"100%% %1", {"x"}, "100% x"},
        {"%3 %", {"a"}, "%3 %"}, // a place without a value stays
        {"50% 完成 %%", {}, "50% 完成 %"},
        {"%1%1", {"ab"}, "abab"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ComposeText(c.pattern, c.args), c.expected) << c.pattern;
}
