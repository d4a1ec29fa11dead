#include "pages/KeyCodes.h"

#include "common/TextNumber.h"

#include <algorithm>
#include <span>

namespace {
struct CharCode {
    unsigned char ch;
    std::uint8_t code;
};

// Characters typed without Shift.
constexpr CharCode kUnshifted[] = {
    {' ', 0x2C}, {'-', 0x2D},  {'=', 0x2E},  {'[', 0x2F}, {']', 0x30}, {'\\', 0x31}, {';', 0x33},
    {'\'', 0x34}, {'`', 0x35}, {',', 0x36}, {'.', 0x37}, {'/', 0x38}, {0x7F, 0x4C},
};

// Characters typed with Shift, by the key that carries them.
constexpr CharCode kShifted[] = {
    {'!', 0x1E}, {'@', 0x1F}, {'#', 0x20}, {'$', 0x21}, {'%', 0x22}, {'^', 0x23}, {'&', 0x24},
    {'*', 0x25}, {'(', 0x26}, {')', 0x27}, {'_', 0x2D}, {'+', 0x2E}, {'{', 0x2F}, {'}', 0x30},
    {'|', 0x31}, {':', 0x33}, {'"', 0x34}, {'~', 0x35}, {'<', 0x36}, {'>', 0x37}, {'?', 0x38},
};

// Bytes that stand for their usage ID plus 0x88: Enter to Tab, Caps Lock and F1-F12, Insert to
// End, the arrows. 0xD6 would be Page Down but has no key here.
struct ByteRange {
    unsigned char first;
    unsigned char last;
};
constexpr ByteRange kUsageBytes[] = {{0xB0, 0xB3}, {0xC1, 0xCD}, {0xD1, 0xD5}, {0xD7, 0xDA}};
constexpr unsigned char kUsageByteOffset = 0x88;

// Bytes 0x80-0x87 set exactly one flag bit each.
constexpr unsigned char kFlagByteFirst = 0x80;
constexpr unsigned char kFlagByteLast = 0x87;

bool InRange(unsigned char ch, unsigned char first, unsigned char last)
{
    return ch >= first && ch <= last;
}

const CharCode *Find(std::span<const CharCode> table, unsigned char ch)
{
    const auto it = std::find_if(table.begin(), table.end(), [ch](const CharCode &entry) { return entry.ch == ch; });
    return it == table.end() ? nullptr : &*it;
}

bool IsUsageByte(unsigned char ch)
{
    return std::any_of(std::begin(kUsageBytes), std::end(kUsageBytes),
                       [ch](const ByteRange &range) { return InRange(ch, range.first, range.last); });
}
} // namespace

std::string JoinedForm(std::string_view token)
{
    std::string joined = "+";
    joined += token;
    return joined;
}

void CharToKeyCode(unsigned char ch, std::uint8_t &flags, std::uint8_t &code)
{
    if (InRange(ch, 'a', 'z')) {
        code = static_cast<std::uint8_t>(ch - 'a' + 0x04);
    } else if (InRange(ch, 'A', 'Z')) {
        code = static_cast<std::uint8_t>(ch - 'A' + 0x04);
    } else if (InRange(ch, '1', '9')) {
        code = static_cast<std::uint8_t>(ch - '1' + 0x1E);
    } else if (ch == '0') {
        code = 0x27;
    } else if (const CharCode *plain = Find(kUnshifted, ch)) {
        code = plain->code;
    } else if (const CharCode *shifted = Find(kShifted, ch)) {
        code = shifted->code;
        flags |= KeyFlag::kShift;
    } else if (InRange(ch, kFlagByteFirst, kFlagByteLast)) {
        flags = static_cast<std::uint8_t>(1u << (ch - kFlagByteFirst));
    } else if (IsUsageByte(ch)) {
        code = static_cast<std::uint8_t>(ch - kUsageByteOffset);
    }
}

std::uint8_t ParseHidCode(std::string_view text)
{
    // The conversion keeps the value modulo 256, so -1 gives 0xFF.
    return static_cast<std::uint8_t>(AtoiRule(text));
}
