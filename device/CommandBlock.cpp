#include "device/CommandBlock.h"

namespace {
constexpr std::uint8_t kCommandCode = 0xFB;
constexpr std::uint8_t kConstantByte = 0x01;
constexpr std::uint32_t kQueryLength = 64;
}

std::uint32_t CommandBlock::DataLength() const
{
    return std::uint32_t{bytes[4]} | std::uint32_t{bytes[5]} << 8 | std::uint32_t{bytes[6]} << 16 |
           std::uint32_t{bytes[7]} << 24;
}

std::uint32_t CommandBlock::Address() const
{
    return std::uint32_t{bytes[12]} << 24 | std::uint32_t{bytes[13]} << 16 | std::uint32_t{bytes[14]} << 8 |
           std::uint32_t{bytes[15]};
}

CommandBlock MakeCommandBlock(std::uint32_t dataLength, std::uint8_t direction, std::uint8_t readFlag,
                              std::uint32_t address)
{
    CommandBlock block;
    auto &b = block.bytes;
    b[1] = 'S';
    b[2] = 'B';
    b[3] = 'C';
    for (int i = 0; i < 4; ++i) {
        b[4 + i] = static_cast<std::uint8_t>(dataLength >> (8 * i));
        b[15 - i] = static_cast<std::uint8_t>(address >> (8 * i));
    }
    b[8] = direction;
    b[9] = kCommandCode;
    b[10] = readFlag;
    b[11] = kConstantByte;
    return block;
}

CommandBlock MakeWriteCommand(std::uint32_t dataLength, std::uint32_t address)
{
    return MakeCommandBlock(dataLength, kDirToModule, 0x00, address);
}

CommandBlock MakeQueryCommand()
{
    return MakeCommandBlock(kQueryLength, kDirFromModule, 0x01, 0);
}
