#pragma once

#include "platform_export.h"

#include <QRect>
#include <cstdint>
#include <functional>
#include <string_view>

class QWidget;

/// Stand-in for the window-handle part of the Windows user interface: a process-wide registry
/// of handles, each with a class name, a parent, a screen rectangle and a message procedure.
namespace platform {

struct Window;
using WindowHandle = Window *;  ///< Opaque, pointer-sized; nullptr is "none".
using MessageId = std::uint32_t;
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;
using MessageProc = std::function<LResult(WindowHandle, MessageId, WParam, LParam)>;

/// Registers a window of @p className under @p parent (nullptr: top level). @p proc answers
/// the messages sent to it; @p widget, when given, backs its rectangle and widgetOf().
PLATFORM_EXPORT WindowHandle createWindow(std::string_view className, WindowHandle parent,
                                          MessageProc proc, QWidget *widget = nullptr);
/// Forgets @p window; later calls with it see an invalid handle. Children keep a dangling
/// parent no longer: their parent becomes none.
PLATFORM_EXPORT void destroyWindow(WindowHandle window);
/// True while @p window is registered.
PLATFORM_EXPORT bool isWindow(WindowHandle window);

/// Copies at most @p maxCount - 1 bytes of the class name and a NUL into @p buffer, as
/// GetClassName does; answers the number of bytes copied, 0 for an invalid handle or
/// a @p maxCount below 1.
PLATFORM_EXPORT int getClassName(WindowHandle window, char *buffer, int maxCount);
/// The parent handle, nullptr for a top-level or invalid window.
PLATFORM_EXPORT WindowHandle getParent(WindowHandle window);

/// The window's rectangle in screen coordinates (the widget's frame when one backs it).
PLATFORM_EXPORT QRect getWindowRect(WindowHandle window);
/// Sets the stored rectangle of a window that no widget backs.
PLATFORM_EXPORT void setWindowRect(WindowHandle window, const QRect &rect);

/// Calls @p window's procedure synchronously and answers its result; 0 for an invalid handle.
PLATFORM_EXPORT LResult sendMessage(WindowHandle window, MessageId message, WParam wParam,
                                    LParam lParam);

/// The widget backing @p window, or nullptr.
PLATFORM_EXPORT QWidget *widgetOf(WindowHandle window);
/// The handle registered for @p widget, or nullptr.
PLATFORM_EXPORT WindowHandle handleOf(const QWidget *widget);

} // namespace platform
