#include "SettingsTestFiles.h"

#include "settings/IniFile.h"
#include "settings/IniLine.h"

#include <gtest/gtest.h>

namespace {
// The one printable character that scrambles into a blank, so it cannot start or end a value.
constexpr unsigned char kUnsafeAtEitherEnd = '<';

bool BreaksTheFile(unsigned char stored)
{
    return stored == '\r' || stored == '\n' || stored == '\0' || stored == 0x1A;
}

// A byte as it is stored at an even (0) or odd (1) position.
unsigned char StoredAt(unsigned char clear, int parity)
{
    std::string text(2, static_cast<char>(clear));
    CIniFile::Scramble(text);
    return static_cast<unsigned char>(text[static_cast<std::size_t>(parity)]);
}

TEST(ScrambleTest, EveryByteAValueMayHoldIsSafeAtEveryPosition)
{
    std::vector<unsigned char> allowed = {'-'};
    for (int c = '0'; c <= '9'; ++c)
        allowed.push_back(static_cast<unsigned char>(c));
    for (int c = 0x20; c <= 0x7E; ++c) {
        if (c != kUnsafeAtEitherEnd)
            allowed.push_back(static_cast<unsigned char>(c));
    }
    for (int c = 0x80; c <= 0xFF; ++c)
        allowed.push_back(static_cast<unsigned char>(c));

    for (unsigned char clear : allowed) {
        for (int parity : {0, 1}) {
            const unsigned char stored = StoredAt(clear, parity);
            EXPECT_FALSE(BreaksTheFile(stored)) << int(clear) << " at parity " << parity;
            EXPECT_FALSE(IsIniSpace(static_cast<char>(stored))) << int(clear) << " at parity " << parity;
        }
    }
}

TEST(ScrambleTest, OnlyTheNamedSymbolBecomesWhiteSpaceAndItNeverBreaksALine)
{
    for (int c = 0x20; c <= 0x7E; ++c) {
        for (int parity : {0, 1}) {
            const unsigned char stored = StoredAt(static_cast<unsigned char>(c), parity);
            EXPECT_EQ(IsIniSpace(static_cast<char>(stored)), c == kUnsafeAtEitherEnd) << char(c);
            EXPECT_FALSE(BreaksTheFile(stored)) << char(c);
        }
    }
    EXPECT_EQ(WhyNotStorable("String", "man", "a<b"), nullptr);
    EXPECT_NE(WhyNotStorable("String", "man", "<b"), nullptr);
    EXPECT_NE(WhyNotStorable("String", "man", "a<"), nullptr);
}

TEST(ScrambleTest, ScramblingTwiceRestoresEveryByte)
{
    std::string all;
    for (int c = 0; c <= 0xFF; ++c)
        all.push_back(static_cast<char>(c));
    std::string text = all;
    CIniFile::Scramble(text);
    EXPECT_NE(text, all);
    CIniFile::Scramble(text);
    EXPECT_EQ(text, all);
}

struct StorableCase {
    const char *name;
    std::string section;
    std::string key;
    std::string text;
    bool bStorable;
};

TEST(ScrambleTest, WhyNotStorableRefusesWhatWouldNotReadBack)
{
    const StorableCase cases[] = {
        {"negative number", "int", "KeyDelay", "-2147483648", true},
        {"empty value", "int", "k", "", true},
        {"Chinese line", "String", "man", "深圳 市", true},
        {"blanks at both ends", "String", "man", "  x  ", true},
        {"value holding a zero byte", "String", "man", std::string("a\0b", 3), false},
        {"byte that scrambles to LF", "String", "man", "a\x16z", false},
        {"byte that scrambles to 0x1A", "String", "man", "a\x06z", false},
        {"value whose stored form is the absent marker", "String", "man", Scrambled("NULL"), false},
        {"empty section", "", "k", "1", false},
        {"section with ']'", "a]b", "k", "1", false},
        {"section with a blank at its end", "int ", "k", "1", false},
        {"empty key", "int", "", "1", false},
        {"key with '='", "int", "a=b", "1", false},
        {"key that would read as a header", "int", "[k", "1", false},
        {"key with a line feed", "int", "a\nb", "1", false},
        {"key with 0x1A", "int", "a\x1A", "1", false},
    };
    for (const StorableCase &c : cases)
        EXPECT_EQ(WhyNotStorable(c.section, c.key, c.text) == nullptr, c.bStorable) << c.name;
}
} // namespace
