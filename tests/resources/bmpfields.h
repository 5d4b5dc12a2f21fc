#pragma once

#include <QByteArray>
#include <cstdint>

// Little-endian header fields of a .bmp file, read straight from the bytes so the tests do not
// trust any decoder for what the file declares.
inline std::uint32_t bmpU32(const QByteArray &bytes, int offset)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | std::uint8_t(bytes[offset + i]);
    return value;
}

inline std::uint16_t bmpU16(const QByteArray &bytes, int offset)
{
    return std::uint16_t(std::uint8_t(bytes[offset]) | (std::uint8_t(bytes[offset + 1]) << 8));
}
