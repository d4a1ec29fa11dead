#include "device/CommandBlock.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace {
using Bytes = std::array<std::uint8_t, CommandBlock::kSize>;

// Every block starts with report ID 0 and "SBC" and carries 0xFB and 0x01 in bytes 9 and 11.
Bytes Expected(std::array<std::uint8_t, 4> length, std::uint8_t direction, std::uint8_t readFlag,
               std::array<std::uint8_t, 4> address)
{
    Bytes b{0x00, 'S', 'B', 'C', length[0], length[1], length[2], length[3], direction, 0xFB, readFlag, 0x01,
            address[0], address[1], address[2], address[3]};
    return b;
}

struct BlockCase {
    const char *name;
    CommandBlock block;
    Bytes bytes;
};

void PrintTo(const BlockCase &c, std::ostream *out)
{
    *out << c.name;
}

class CommandBlockBytes : public testing::TestWithParam<BlockCase> {};

TEST_P(CommandBlockBytes, AreExact)
{
    EXPECT_EQ(GetParam().block.bytes, GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    EveryCommand, CommandBlockBytes,
    testing::Values(
        BlockCase{"Query", MakeQueryCommand(), Expected({64, 0, 0, 0}, 0x83, 0x01, {0, 0, 0, 0})},
        BlockCase{"WriteParameters", MakeWriteCommand(13, 2), Expected({13, 0, 0, 0}, 0x03, 0x00, {0, 0, 0, 2})},
        BlockCase{"Reset1Step2", MakeWriteCommand(30, 28), Expected({30, 0, 0, 0}, 0x03, 0x00, {0, 0, 0, 28})},
        BlockCase{"Reset2Step2", MakeWriteCommand(12, 28), Expected({12, 0, 0, 0}, 0x03, 0x00, {0, 0, 0, 28})},
        BlockCase{"WriteKey1", MakeWriteCommand(4, 28), Expected({4, 0, 0, 0}, 0x03, 0x00, {0, 0, 0, 28})},
        BlockCase{"WriteKey3", MakeWriteCommand(4, 34), Expected({4, 0, 0, 0}, 0x03, 0x00, {0, 0, 0, 34})},
        BlockCase{"WriteKey64", MakeWriteCommand(4, 28 + 3 * 63), Expected({4, 0, 0, 0}, 0x03, 0x00, {0, 0, 0, 217})},
        BlockCase{"ByteOrders", MakeCommandBlock(0x01020304, 0x83, 0x01, 0x0A0B0C0D),
                  Expected({0x04, 0x03, 0x02, 0x01}, 0x83, 0x01, {0x0A, 0x0B, 0x0C, 0x0D})}),
    [](const testing::TestParamInfo<BlockCase> &info) { return std::string(info.param.name); });

TEST(CommandBlock, FieldsReadBackInTheirByteOrders)
{
    const CommandBlock block = MakeCommandBlock(0x01020304, 0x83, 0x01, 0x0A0B0C0D);
    EXPECT_EQ(block.DataLength(), 0x01020304u);
    EXPECT_EQ(block.Address(), 0x0A0B0C0Du);
    EXPECT_EQ(block.Direction(), 0x83);
}
} // namespace
