#pragma once

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

} // namespace ScriptText
