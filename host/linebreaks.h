#pragma once

#include <cstddef>
#include <cstring>
#include <functional>
#include <string_view>

/// How a document's lines end: the style of its first line break.
enum class LineEnding { Lf, CrLf, Cr };

/// The line breaks as both editors read them: CR LF, a lone LF and a lone CR each end a line.
namespace LineBreaks {

/// The style of the first line break in @p bytes (CR LF, LF or a lone CR); LF when there is
/// none.
LineEnding detect(std::string_view bytes);

/// The bytes of one break in @p style.
std::string_view bytesOf(LineEnding style);

/// Calls @p visit(at, length) for each line break of @p text in order, with its offset and
/// its length: 2 for CR LF, 1 for a lone CR or LF; stops early when @p visit answers false.
/// Searches for both bytes with memchr, which a large text makes worth it.
template <typename Visit> void forEach(std::string_view text, Visit visit)
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

/// The size of @p text once each lone LF and lone CR in it is written as CR LF.
std::size_t crLfSize(std::string_view text);

/// Where @p offset of @p text lands once each lone LF and lone CR in it is written as CR LF
/// (an offset inside a CR LF stays inside it).
std::size_t crLfOffset(std::string_view text, std::size_t offset);

/// Copies the first @p room bytes of @p text, with each lone LF and lone CR written as CR LF,
/// to @p out.
void copyAsCrLf(std::string_view text, char *out, std::size_t room);

/// Whether @p text has a line break that is not written as @p style writes one.
bool hasForeignBreak(std::string_view text, LineEnding style);

/// Hands @p text to @p put with each of its breaks written in @p style, in pieces of about
/// @p pieceSize bytes (a break is never split between two), so a large text never needs a
/// second copy of its own size.
void convert(std::string_view text, LineEnding style, std::size_t pieceSize,
             const std::function<void(std::string_view)> &put);

} // namespace LineBreaks
