#pragma once

#include "runner/linelist.h"

#include <QString>
#include <string>
#include <string_view>

class QPlainTextEdit;

/// The script editor's text: bytes of a script file on one side, the editor's QString on the
/// other. Bytes that are not valid in the system's coding survive the trip unchanged.
namespace ScriptEditor {

/// Decodes @p bytes in the system's coding for the editor; each byte that is not part of a
/// valid character becomes the lone surrogate U+DC80 + byte (so fromEditor() restores it).
QString toEditor(std::string_view bytes);
/// Encodes editor text back to the system's coding, undoing toEditor()'s escapes.
std::string fromEditor(const QString &text);

/// The editor's hard lines as bytes, whole (no length limit); a final empty line after the
/// last line break is not counted and an empty editor has no lines.
LineList lines(const QPlainTextEdit &editor);
/// The editor's whole text as bytes, its lines separated by CR LF, as the user sees it.
std::string bytes(const QPlainTextEdit &editor);

/// Replaces @p editor's text with @p text (bytes, lines separated by CR LF); throws
/// std::runtime_error when the text is too large for the editor.
void setBytes(QPlainTextEdit &editor, std::string_view text);

} // namespace ScriptEditor
