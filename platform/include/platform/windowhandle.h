#pragma once

#include "platform/platform_export.h"

#include <cstdint>

#ifdef _WIN32
struct HWND__; // the Win32 handle type, as <windows.h> declares it
#else
struct PlintharWindowStruct; // the editor's plug-in interface names a window so
#endif

/// The window-handle part of the Windows user interface, in plain types: what the plug-in
/// asks of the windows it is given.
namespace platform {

#ifdef _WIN32
using WindowHandle = ::HWND__ *; ///< HWND
#else
/// Opaque, pointer-sized; nullptr is "none". The same type as the plug-in interface's
/// PlintharWindow, which the host hands its plug-ins.
using WindowHandle = ::PlintharWindowStruct *;
#endif
using MessageId = std::uint32_t;
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

/// A rectangle in screen coordinates, as a Windows RECT: right and bottom are exclusive.
struct Rect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    friend bool operator==(const Rect &, const Rect &) = default;
};

/// True while @p window exists.
PLATFORM_EXPORT bool isWindow(WindowHandle window);
/// Copies at most @p maxCount - 1 bytes of the class name and a NUL into @p buffer, as
/// GetClassName does; answers the number of bytes copied, 0 for an invalid handle or
/// a @p maxCount below 1.
PLATFORM_EXPORT int getClassName(WindowHandle window, char *buffer, int maxCount);
/// The parent handle, nullptr for a top-level or invalid window.
PLATFORM_EXPORT WindowHandle getParent(WindowHandle window);
/// The window's outer rectangle in screen coordinates; empty for an invalid handle.
PLATFORM_EXPORT Rect getWindowRect(WindowHandle window);
/// Calls @p window's procedure synchronously and answers its result; 0 for an invalid handle.
PLATFORM_EXPORT LResult sendMessage(WindowHandle window, MessageId message, WParam wParam,
                                    LParam lParam);

} // namespace platform
