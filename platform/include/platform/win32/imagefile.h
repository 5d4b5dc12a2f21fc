#pragma once

#include <string>

namespace platform {

/// The architecture a program or library file is built for, read from its header: 32 or 64
/// (bits), or 0 when the file cannot be read or is no Windows image.
int imageBits(const std::wstring &path);

/// The architecture of the running process, as imageBits() gives it.
constexpr int processBits()
{
    return static_cast<int>(sizeof(void *) * 8);
}

} // namespace platform
