#include "pages/KeyCodes.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>

namespace {
// What one character byte does to the two value bytes.
enum class Effect {
    Nothing,      // neither byte written
    Code,         // code written, flags kept
    ShiftedCode,  // code written, Shift added to the flags
    ReplaceFlags, // flags replaced by one bit, code kept
};

struct Expectation {
    Effect effect = Effect::Nothing;
    std::uint8_t value = 0; // the code, or the flags byte that replaces the old one
};

struct Row {
    unsigned first;
    unsigned last;
    Effect effect;
    unsigned firstValue; // value of the first byte; the values count up with the bytes
};

// The character map written out as the module's documentation gives it.
constexpr Row kMap[] = {
    {'a', 'z', Effect::Code, 0x04},
    {'A', 'Z', Effect::Code, 0x04},
    {'1', '9', Effect::Code, 0x1E},
    {'0', '0', Effect::Code, 0x27},
    {' ', ' ', Effect::Code, 0x2C},
    {'-', '-', Effect::Code, 0x2D},
    {'=', '=', Effect::Code, 0x2E},
    {'[', '[', Effect::Code, 0x2F},
    {']', ']', Effect::Code, 0x30},
    {'\\', '\\', Effect::Code, 0x31},
    {';', ';', Effect::Code, 0x33},
    {'\'', '\'', Effect::Code, 0x34},
    {'`', '`', Effect::Code, 0x35},
    {',', ',', Effect::Code, 0x36},
    {'.', '.', Effect::Code, 0x37},
    {'/', '/', Effect::Code, 0x38},
    {0x7F, 0x7F, Effect::Code, 0x4C},
    {'!', '!', Effect::ShiftedCode, 0x1E},
    {'@', '@', Effect::ShiftedCode, 0x1F},
    {'#', '#', Effect::ShiftedCode, 0x20},
    {'$', '$', Effect::ShiftedCode, 0x21},
    {'%', '%', Effect::ShiftedCode, 0x22},
    {'^', '^', Effect::ShiftedCode, 0x23},
    {'&', '&', Effect::ShiftedCode, 0x24},
    {'*', '*', Effect::ShiftedCode, 0x25},
    {'(', '(', Effect::ShiftedCode, 0x26},
    {')', ')', Effect::ShiftedCode, 0x27},
    {'_', '_', Effect::ShiftedCode, 0x2D},
    {'+', '+', Effect::ShiftedCode, 0x2E},
    {'{', '{', Effect::ShiftedCode, 0x2F},
    {'}', '}', Effect::ShiftedCode, 0x30},
    {'|', '|', Effect::ShiftedCode, 0x31},
    {':', ':', Effect::ShiftedCode, 0x33},
    {'"', '"', Effect::ShiftedCode, 0x34},
    {'~', '~', Effect::ShiftedCode, 0x35},
    {'<', '<', Effect::ShiftedCode, 0x36},
    {'>', '>', Effect::ShiftedCode, 0x37},
    {'?', '?', Effect::ShiftedCode, 0x38},
    {0x80, 0x80, Effect::ReplaceFlags, 0x01},
    {0x81, 0x81, Effect::ReplaceFlags, 0x02},
    {0x82, 0x82, Effect::ReplaceFlags, 0x04},
    {0x83, 0x83, Effect::ReplaceFlags, 0x08},
    {0x84, 0x84, Effect::ReplaceFlags, 0x10},
    {0x85, 0x85, Effect::ReplaceFlags, 0x20},
    {0x86, 0x86, Effect::ReplaceFlags, 0x40},
    {0x87, 0x87, Effect::ReplaceFlags, 0x80},
    {0xB0, 0xB3, Effect::Code, 0x28}, // Enter, Esc, Backspace, Tab
    {0xC1, 0xC1, Effect::Code, 0x39}, // Caps Lock
    {0xC2, 0xCD, Effect::Code, 0x3A}, // F1-F12
    {0xD1, 0xD5, Effect::Code, 0x49}, // Insert, Home, Page Up, Delete, End
    {0xD7, 0xDA, Effect::Code, 0x4F}, // Right, Left, Down, Up
};

// Every byte's expectation; a byte in no row writes nothing. A byte in two rows is a fault of
// the table itself and is reported by the caller.
std::array<std::optional<Expectation>, 256> ExpectedMap(int &overlaps)
{
    std::array<std::optional<Expectation>, 256> map{};
    overlaps = 0;
    for (const Row &row : kMap) {
        for (unsigned byte = row.first; byte <= row.last; ++byte) {
            overlaps += map[byte].has_value();
            map[byte] = Expectation{row.effect, static_cast<std::uint8_t>(row.firstValue + (byte - row.first))};
        }
    }
    return map;
}

TEST(CharToKeyCode, EveryByteFollowsTheMap)
{
    int overlaps = 0;
    const auto map = ExpectedMap(overlaps);
    ASSERT_EQ(overlaps, 0);
    // Flags already holding Ctrl, Alt and the upper-case flag, and a code the map never writes,
    // show which of the two bytes a character touches.
    constexpr std::uint8_t kFlagsBefore = 0x15;
    constexpr std::uint8_t kCodeBefore = 0xEE;
    for (unsigned byte = 0; byte < 256; ++byte) {
        SCOPED_TRACE(testing::Message() << "byte 0x" << std::hex << byte);
        std::uint8_t flags = kFlagsBefore;
        std::uint8_t code = kCodeBefore;
        CharToKeyCode(static_cast<unsigned char>(byte), flags, code);
        const Expectation expected = map[byte].value_or(Expectation{});
        switch (expected.effect) {
        case Effect::Nothing:
            EXPECT_EQ(flags, kFlagsBefore);
            EXPECT_EQ(code, kCodeBefore);
            break;
        case Effect::Code:
            EXPECT_EQ(flags, kFlagsBefore);
            EXPECT_EQ(code, expected.value);
            break;
        case Effect::ShiftedCode:
            EXPECT_EQ(flags, kFlagsBefore | KeyFlag::kShift);
            EXPECT_EQ(code, expected.value);
            break;
        case Effect::ReplaceFlags:
            EXPECT_EQ(flags, expected.value);
            EXPECT_EQ(code, kCodeBefore);
            break;
        }
    }
}

struct ParseCase {
    const char *text;
    std::uint8_t code;
};

class ParseHidCodeCases : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseHidCodeCases, ReadsDecimalAndKeepsTheLowByte)
{
    EXPECT_EQ(ParseHidCode(GetParam().text), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Texts, ParseHidCodeCases,
                         testing::Values(ParseCase{"4", 0x04}, ParseCase{" 41abc", 0x29}, ParseCase{"300", 0x2C},
                                         ParseCase{"-1", 0xFF}, ParseCase{"", 0x00}, ParseCase{"abc", 0x00},
                                         ParseCase{"0x29", 0x00}, ParseCase{"+44", 0x2C}, ParseCase{"\t-255", 0x01},
                                         ParseCase{"007", 0x07},
                                         // Past 32 bits the number stops at the int32 limits.
                                         ParseCase{"99999999999", 0xFF}, ParseCase{"4294967340", 0xFF},
                                         ParseCase{"-99999999999", 0x00}));
} // namespace
