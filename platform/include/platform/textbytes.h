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

/// Calls @p visit(at, length) for each line break of @p text (CR LF, a lone LF and a lone CR
/// each end a line) in order, with its offset and
/// its length: 2 for CR LF, 1 for a lone CR or LF; stops early when @p visit answers false.
/// Searches for both bytes with memchr, which a large text makes worth it.
template <typename Visit> void forEachLineBreak(std::string_view text, Visit visit)
{
    const char *const begin = text.data();
    const char *const end = begin + text.size();
    const auto find = [end](const char *from, char c) {
        const void *found = std::memchr(from, c, std::size_t(end - from));
        return found != nullptr ? static_cast<const char *>(found) : end;
    };
    const char *cr = find(begin, '\r');
    const char *lf = find(begin, '\n');
    while (cr != end || lf != end) {
        if (cr < lf) {
            // A CR at the very end has no LF after it, whatever lf (then the end) says.
            const bool crLf = lf != end && cr + 1 == lf;
            if (!visit(std::size_t(cr - begin), std::size_t(crLf ? 2 : 1)))
                return;
            if (crLf)
                lf = find(lf + 1, '\n');
            cr = find(cr + 1, '\r');
        } else {
            if (!visit(std::size_t(lf - begin), std::size_t(1)))
                return;
            lf = find(lf + 1, '\n');
        }
    }
}

} // namespace platform
