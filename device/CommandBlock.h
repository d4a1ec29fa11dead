#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Direction byte of a command block.
inline constexpr std::uint8_t kDirToModule = 0x03;
inline constexpr std::uint8_t kDirFromModule = 0x83;

// The 28-byte header of every command, exactly as handed to hid_write: report ID 0, "SBC",
// data length (little-endian), direction, command 0xFB, read flag, 0x01, address (big-endian),
// twelve zero bytes.
struct CommandBlock {
    static constexpr std::size_t kSize = 28;
    std::array<std::uint8_t, kSize> bytes{};

    std::uint32_t DataLength() const;
    std::uint8_t Direction() const { return bytes[8]; }
    std::uint32_t Address() const;
};

CommandBlock MakeCommandBlock(std::uint32_t dataLength, std::uint8_t direction, std::uint8_t readFlag,
                              std::uint32_t address);

// A write of dataLength bytes (report-ID byte included) to the setting memory at address.
CommandBlock MakeWriteCommand(std::uint32_t dataLength, std::uint32_t address);
// The module query: 64 bytes read from address 0.
CommandBlock MakeQueryCommand();
