#include "common/WideText.h"

#include <gtest/gtest.h>

// The same UTF-8 from a wide string on every system, whether wchar_t holds UTF-16 (a character
// beyond U+FFFF as two units) or UTF-32; a unit that is no character reads as U+FFFD rather than
// ending or garbling the string.
TEST(WideText, GivesUtf8WhateverTheLocale)
{
    const wchar_t loneHigh[] = {static_cast<wchar_t>(0xD83D), L'a', 0};
    const wchar_t loneLow[] = {L'a', static_cast<wchar_t>(0xDE00), 0};
    const struct {
        const wchar_t *text;
        const char *utf8;
    } cases[] = {
        {L"EMU0001", "EMU0001"},
        {L"\u00e9\u6a21\u5757", "\xc3\xa9\xe6\xa8\xa1\xe5\x9d\x97"},
        {L"\U0001F600!", "\xf0\x9f\x98\x80!"},
        {loneHigh, "\xef\xbf\xbd" "a"},
        {loneLow, "a\xef\xbf\xbd"},
        {L"", ""},
        {nullptr, ""},
    };
    for (const auto &test : cases)
        EXPECT_EQ(Utf8FromWide(test.text), test.utf8);
}
