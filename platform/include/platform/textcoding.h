#pragma once

#include "platform/platform_export.h"

#include <string>
#include <string_view>

/// The system's coding of 8-bit text (the locale's codeset; the ANSI code page on Windows).
namespace platform {

enum class TextCoding {
    Utf8,
    ShiftJis, ///< Shift-JIS and its code page 932
    Other,
};

/// The coding of the text the plug-in exchanges with the host and the user.
PLATFORM_EXPORT TextCoding systemCoding();

/// @p utf8 (a text of the plug-in's own, written in UTF-8) in the system's coding; what the
/// coding cannot hold becomes a replacement character.
PLATFORM_EXPORT std::string systemText(std::string_view utf8);

/// @p bytes in @p coding (TextCoding::Utf8, or else the system's coding) as UTF-16, for a text
/// editor: each byte that is not part of a valid character becomes the lone surrogate
/// U+DC80 + (byte - 0x80), which no valid text holds, so that editorBytes() gives every byte
/// back.
PLATFORM_EXPORT std::u16string editorText(std::string_view bytes,
                                          TextCoding coding = systemCoding());
/// Whether @p bytes are well-formed UTF-8 throughout.
PLATFORM_EXPORT bool isUtf8(std::string_view bytes);

/// A text editor's @p text in @p coding, editorText()'s escapes undone.
PLATFORM_EXPORT std::string editorBytes(std::u16string_view text,
                                        TextCoding coding = systemCoding());

/// Whether @p byte starts a double-byte character of Shift-JIS.
inline bool isShiftJisLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

/// Whether @p byte can follow a lead byte in a character of Shift-JIS (a lead byte before CR or
/// LF is a stray byte).
inline bool isShiftJisTrailByte(unsigned char byte)
{
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

} // namespace platform
