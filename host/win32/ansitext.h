#pragma once

#include <windows.h>

#include <string>
#include <string_view>

/// Text between the Win32 API's UTF-16 and the 8-bit codings: the system's ANSI code page (the
/// coding of documents and of the plug-ins' texts) and UTF-8 (the command line's options).
namespace AnsiText {

/// @p bytes of @p codePage as UTF-16; bytes the code page has no character for become what the
/// system makes of them.
std::wstring wide(std::string_view bytes, UINT codePage = CP_ACP);
/// @p text in @p codePage; characters it cannot hold become its default character.
std::string bytes(std::wstring_view text, UINT codePage = CP_ACP);

/// The message of the Windows error @p error, without its final line break.
std::string systemMessage(DWORD error);

} // namespace AnsiText
