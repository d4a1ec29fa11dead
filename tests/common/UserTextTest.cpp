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

TEST(UserText, QuotedInputEscapesControlBytesAndCutsLongInput)
{
    const struct {
        std::string input;
        std::string expected;
    } cases[] = {
        {"KEY-3 = a", "KEY-3 = a"},
        {std::string("a\x1B[2Jb\0c\r\n\x7F", 11), "a\\x1B[2Jb\\x00c\\x0D\\x0A\\x7F"},
        {"a\xC2\x9B" "31mb", "a\\xC2\\x9B31mb"}, // the one-character CSI
        {"按键", "按键"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(QuotedInput(c.input), c.expected) << c.input;

    const std::string flood(8 << 20, 'x');
    EXPECT_EQ(QuotedInput(flood), std::string(kQuotedInputBytes, 'x') + "…");
    // A cut never splits a character.
    const std::string wide = std::string(kQuotedInputBytes - 1, 'x') + "键键";
    EXPECT_EQ(QuotedInput(wide), std::string(kQuotedInputBytes - 1, 'x') + "键…");
}
