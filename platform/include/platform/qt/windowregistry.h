#pragma once

#include "platform/windowhandle.h"

#include <QRect>
#include <functional>
#include <string_view>

class QWidget;

/// How the Linux stand-in makes windows: a process-wide registry of handles, each with a class
/// name, a parent, a screen rectangle and a message procedure, optionally backed by a widget.
namespace platform {

using MessageProc = std::function<LResult(WindowHandle, MessageId, WParam, LParam)>;

/// Registers a window of @p className under @p parent (nullptr: top level). @p proc answers
/// the messages sent to it; @p widget, when given, backs its rectangle and widgetOf().
PLATFORM_EXPORT WindowHandle createWindow(std::string_view className, WindowHandle parent,
                                          MessageProc proc, QWidget *widget = nullptr);
/// Forgets @p window; later calls with it see an invalid handle. Children keep a dangling
/// parent no longer: their parent becomes none.
PLATFORM_EXPORT void destroyWindow(WindowHandle window);
/// Sets the stored rectangle of a window that no widget backs.
PLATFORM_EXPORT void setWindowRect(WindowHandle window, const QRect &rect);

/// The widget backing @p window, or nullptr.
PLATFORM_EXPORT QWidget *widgetOf(WindowHandle window);
/// The handle registered for @p widget, or nullptr.
PLATFORM_EXPORT WindowHandle handleOf(const QWidget *widget);

/// @p rect as a Qt rectangle, and back.
inline QRect toQRect(const Rect &rect)
{
    return QRect(rect.left, rect.top, rect.width(), rect.height());
}
inline Rect fromQRect(const QRect &rect)
{
    return Rect{rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

} // namespace platform
