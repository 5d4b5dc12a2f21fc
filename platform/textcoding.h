#pragma once

#include "platform_export.h"

/// The system's coding of 8-bit text (the locale's codeset; the ANSI code page on Windows).
namespace platform {

enum class TextCoding {
    Utf8,
    ShiftJis, ///< Shift-JIS and its code page 932
    Other,
};

/// The coding of the text the plug-in exchanges with the host and the user.
PLATFORM_EXPORT TextCoding systemCoding();

} // namespace platform
