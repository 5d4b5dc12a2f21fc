#pragma once

#include "runner/linelist.h"

#include <QString>
#include <string>
#include <string_view>

class QPlainTextEdit;

/// The script editor's text: bytes of a script file on one side, the editor's QString on the
/// other. Bytes that are not valid in the locale's coding survive the trip unchanged.
namespace ScriptText {

/**
 * Reads @p bytes up to the first NUL and turns every lone CR, lone LF and LF CR into CR LF;
 * CR LF stays. Under a Shift-JIS locale a lead byte and the trail byte after it are copied as
 * one unit (under UTF-8 no line-break byte can occur inside a character).
 */
std::string normalizeLineBreaks(std::string_view bytes);

/// Decodes locale-coded @p bytes for the editor; each byte that is not part of a valid
/// character becomes the lone surrogate U+DC80 + byte (so fromEditor() restores it).
QString toEditor(std::string_view bytes);
/// Encodes editor text back to the locale's coding, undoing toEditor()'s escapes.
std::string fromEditor(const QString &text);

/// The editor's hard lines as bytes, whole (no length limit); a final empty line after the
/// last line break is not counted and an empty editor has no lines.
LineList lines(const QPlainTextEdit &editor);
/// The editor's whole text as bytes, its lines separated by CR LF, as the user sees it.
std::string bytes(const QPlainTextEdit &editor);

/**
 * Loads file @p bytes into @p editor: normalizes the line breaks, leaves the editor untouched
 * when the result equals its current text, otherwise replaces its text. Throws
 * std::runtime_error when the text is too large for the editor.
 */
void load(QPlainTextEdit &editor, std::string_view bytes);

} // namespace ScriptText
