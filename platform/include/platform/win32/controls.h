#pragma once

#include <windows.h>

#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

/// Building blocks of Win32 windows: the module that owns them, their controls and fonts.
namespace platform {

/// The module (the DLL or the program) this code is linked into: the owner of its window
/// classes and resources.
HINSTANCE ownModule();

/// Deletes a GDI object.
struct GdiObjectDeleter
{
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
/// A font that is deleted with its owner.
using Font = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;

/// A failure of the step @p what, with the thread's last Windows error.
std::runtime_error windowsFailure(const std::string &what);

/// Registers the window class @p name of ownModule() for @p procedure, with the arrow cursor
/// and the button-face colour, unless it is registered already. Throws std::runtime_error
/// when it cannot.
void registerWindowClass(const wchar_t *name, WNDPROC procedure);

/// The screen's pixels per inch; 96 when the system cannot tell.
int screenDpi();

/**
 * Makes the visible child control @p id of the ASCII-named @p className under @p parent,
 * @p size large at @p at; an ANSI window when @p ansi (its text then is bytes in the system's
 * code page). Throws std::runtime_error naming @p what when it cannot be made.
 */
HWND createControl(HWND parent, int id, const char *className, const wchar_t *text, DWORD style,
                   DWORD exStyle, POINT at, SIZE size, const char *what, bool ansi = false);

/**
 * A font @p pixels high (character height): the first of @p faces that is installed with the
 * Shift-JIS character set; failing all of them, the system's message font (or, for a fixed
 * pitch, whatever fixed-pitch font the font mapper offers) in the default character set.
 */
Font createFont(std::initializer_list<const wchar_t *> faces, int pixels, bool fixedPitch);

/// Makes the closed drop-down list @p comboBox no higher than @p height where the system lets
/// it, its field one line of its font.
void fitComboBox(HWND comboBox, int height);

/// @p utf8 as UTF-16, for the system's wide interfaces.
std::wstring utf16(std::string_view utf8);

} // namespace platform
