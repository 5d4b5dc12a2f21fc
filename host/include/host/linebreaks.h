#pragma once

#include "platform/textbytes.h"

#include <cstddef>
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

/// The size of @p text once each of its breaks is written in @p style.
std::size_t sizeIn(std::string_view text, LineEnding style);

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
