#pragma once

#include "platform/textcoding.h"

#include <string>
#include <string_view>

/// The line-break rules of a script loaded into the script editor.
namespace ScriptText {

/**
 * Reads @p bytes up to the first NUL and turns every lone CR, lone LF and LF CR into CR LF;
 * CR LF stays. Under a Shift-JIS coding a lead byte and the trail byte after it are copied as
 * one unit (under UTF-8 no line-break byte can occur inside a character).
 */
std::string normalizeLineBreaks(std::string_view bytes);

/**
 * The coding the script editor shows the script file @p bytes in, as the `ruby` command would
 * read it: UTF-8 after a UTF-8 byte-order mark, or when a magic comment in its first line (its
 * second, after a `#!` line) names UTF-8, or when it has no such comment naming another
 * coding and its bytes are valid UTF-8; the system's coding otherwise.
 */
platform::TextCoding fileCoding(std::string_view bytes);

} // namespace ScriptText
