#include "keymap/KeyLineSyntax.h"

#include <cstdio>

std::string HexByte(std::uint8_t byte)
{
    char text[4];
    std::snprintf(text, sizeof text, "%02X", byte);
    return text;
}

std::string RawQualifier(const KeyRecord &record)
{
    return std::string(kRaw) + " " + HexByte(record[0]) + " " + HexByte(record[1]) + " " + HexByte(record[2]);
}
