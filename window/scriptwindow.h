#pragma once

#include "platform/windowhandle.h"

#include <memory>

/**
 * The script window as the plug-in drives it: one per plug-in, made on the first command and
 * shown modally over the view of every command. Each face (qt/, win32/) makes its own.
 */
class ScriptWindow
{
public:
    /// Where the window goes: its left and top edges in screen coordinates.
    struct Position
    {
        int left = 0;
        int top = 0;
        friend bool operator==(const Position &, const Position &) = default;
    };

    /// Makes the face's window under @p parent (none: a top-level window with no owner).
    static std::unique_ptr<ScriptWindow> create(platform::WindowHandle parent);

    /// Where a window of @p width and @p height (outer size) goes over @p view: centred on it,
    /// never at negative coordinates (the right and bottom edges are not checked).
    static Position placeOver(const platform::Rect &view, int width, int height);

    virtual ~ScriptWindow() = default;

    /// Prepares the window for showing over @p view: places it, sets the selection-only box
    /// from the view's selection state, makes sure the scripts folder exists and lists it.
    virtual void AttachToView(platform::WindowHandle view) = 0;
    /**
     * Shows the window modally: every other visible, enabled top-level window of the thread is
     * disabled meanwhile and enabled again afterwards, and the one that was active gets the
     * activation back. Returns when the window closes. Throws std::runtime_error when it is
     * visible already.
     */
    virtual void showModal() = 0;
    /// Closes the window if it is shown, ending its modal showing.
    virtual void endShowing() = 0;
    /// Whether the window is shown.
    virtual bool isShown() const = 0;
    /// The window's own handle (owner of its message boxes).
    virtual platform::WindowHandle handle() const = 0;
};
