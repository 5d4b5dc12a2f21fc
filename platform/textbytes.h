#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

/// The rules of 8-bit texts that travel as C strings, as every Windows interface passes them.
namespace platform {

/// @p text up to its first NUL byte: a text handed over as a C string ends there.
inline std::string_view beforeNul(std::string_view text)
{
    const void *nul = std::memchr(text.data(), '\0', text.size());
    return nul ? text.substr(0,
                             static_cast<std::size_t>(static_cast<const char *>(nul) - text.data()))
               : text;
}

/// Copies at most @p size - 1 bytes of @p text and a NUL into @p buffer, as the Windows
/// interfaces fill a caller's buffer; nothing for a @p size of 0. Answers the bytes copied.
inline std::size_t copyTerminated(std::string_view text, char *buffer, std::size_t size)
{
    if (buffer == nullptr || size == 0)
        return 0;
    const std::size_t count = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return count;
}

} // namespace platform
