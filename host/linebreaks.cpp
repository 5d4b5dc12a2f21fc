#include "host/linebreaks.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace LineBreaks {

LineEnding detect(std::string_view bytes)
{
    LineEnding style = LineEnding::Lf;
    platform::forEachLineBreak(bytes, [&](std::size_t at, std::size_t length) {
        style = length == 2         ? LineEnding::CrLf
                : bytes[at] == '\r' ? LineEnding::Cr
                                    : LineEnding::Lf;
        return false;
    });
    return style;
}

std::string_view bytesOf(LineEnding style)
{
    switch (style) {
    case LineEnding::CrLf:
        return "\r\n";
    case LineEnding::Cr:
        return "\r";
    case LineEnding::Lf:
        break;
    }
    return "\n";
}

std::size_t sizeIn(std::string_view text, LineEnding style)
{
    const std::size_t breakSize = bytesOf(style).size();
    std::size_t size = text.size();
    platform::forEachLineBreak(text, [&](std::size_t, std::size_t length) {
        size = size - length + breakSize;
        return true;
    });
    return size;
}

std::size_t crLfOffset(std::string_view text, std::size_t offset)
{
    offset = std::min(offset, text.size());
    if (offset > 0 && offset < text.size() && text[offset - 1] == '\r' && text[offset] == '\n')
        return sizeIn(text.substr(0, offset - 1), LineEnding::CrLf) + 1;
    return sizeIn(text.substr(0, offset), LineEnding::CrLf);
}

void copyAsCrLf(std::string_view text, char *out, std::size_t room)
{
    std::size_t from = 0;
    std::size_t written = 0;
    const auto put = [&](const char *bytes, std::size_t count) {
        count = std::min(count, room - written);
        std::memcpy(out + written, bytes, count);
        written += count;
        return written < room;
    };
    platform::forEachLineBreak(text, [&](std::size_t at, std::size_t length) {
        const bool more = put(text.data() + from, at - from) && put("\r\n", 2);
        from = at + length;
        return more;
    });
    if (written < room)
        put(text.data() + from, text.size() - from);
}

bool hasForeignBreak(std::string_view text, LineEnding style)
{
    const std::string_view own = bytesOf(style);
    bool foreign = false;
    platform::forEachLineBreak(text, [&](std::size_t at, std::size_t length) {
        foreign = text.substr(at, length) != own;
        return !foreign;
    });
    return foreign;
}

void convert(std::string_view text, LineEnding style, std::size_t pieceSize,
             const std::function<void(std::string_view)> &put)
{
    const std::string_view lineBreak = bytesOf(style);
    std::string piece;
    piece.reserve(std::min(text.size() * 2, pieceSize) + 2);
    const auto flush = [&] {
        put(piece);
        piece.clear();
    };
    const auto append = [&](const char *bytes, std::size_t count) {
        while (count > 0) {
            if (piece.size() >= pieceSize)
                flush();
            const std::size_t take = std::min(count, pieceSize - piece.size());
            piece.append(bytes, take);
            bytes += take;
            count -= take;
        }
    };
    std::size_t from = 0;
    platform::forEachLineBreak(text, [&](std::size_t at, std::size_t length) {
        append(text.data() + from, at - from);
        // Whole breaks only: a CR LF never falls between two pieces.
        piece.append(lineBreak);
        from = at + length;
        return true;
    });
    append(text.data() + from, text.size() - from);
    if (!piece.empty())
        flush();
}

} // namespace LineBreaks
