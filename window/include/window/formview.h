#pragma once

#include "platform/textcoding.h"
#include "platform/windowhandle.h"
#include "runner/linelist.h"

#include <optional>
#include <string>
#include <vector>

/**
 * What the script window's core (TfrmKorvex) asks of a toolkit's window: its controls, their
 * contents, its place and its showing. A face only draws, and forwards what the user does with
 * its controls to the TfrmKorvex it serves; every decision is the core's.
 *
 * The script is bytes in the coding it is given in (its editor keeps every byte, whatever the
 * coding); the names in the list are bytes in the system's coding; the texts of the running bar
 * are the plug-in's own, in UTF-8.
 */
class FormView
{
public:
    /// What the bar at the bottom of the window shows.
    enum class RunState {
        Idle,    ///< no bar
        Running, ///< the running script's progress and Stop; everything that would start
                 ///< another run or change the script waits
        Stopped, ///< a note that the last run was stopped, without Stop
    };

    virtual ~FormView() = default;

    /// The window's handle: the owner of its message boxes, the window a run services.
    virtual platform::WindowHandle handle() const = 0;
    /// The window's outer rectangle (frame included) in screen coordinates, its layout worked
    /// out.
    virtual platform::Rect frameRect() = 0;
    /// Moves the window's outer top-left corner to @p left, @p top in screen coordinates.
    virtual void moveTo(int left, int top) = 0;
    /// Whether the window is shown.
    virtual bool isShown() const = 0;
    /**
     * Shows the window, its script editor focused, and handles the thread's events until
     * endModal() or the window's destruction; the window may still be shown when this returns.
     * The face's object may be gone by then, so nothing of it is used on the way out.
     */
    virtual void runModal() = 0;
    /// Ends the showing of runModal(), or hides the window when it is shown otherwise.
    virtual void endModal() = 0;

    /// Whether "選択範囲のみ" (selection only) is checked.
    virtual bool selectionOnly() const = 0;
    virtual void setSelectionOnly(bool checked) = 0;
    /// Fills the scripts list with @p names in their order; nothing is chosen.
    virtual void setScriptNames(const std::vector<std::string> &names) = 0;
    /// The name chosen in the scripts list, if any.
    virtual std::optional<std::string> chosenScriptName() const = 0;
    /// The script editor's hard lines in @p coding, whole; a final empty line is not counted.
    virtual LineList scriptLines(platform::TextCoding coding) const = 0;
    /// The script editor's text in @p coding, its lines separated by CR LF.
    virtual std::string scriptText(platform::TextCoding coding) const = 0;
    /// Replaces the script editor's text with @p text in @p coding (lines separated by CR LF,
    /// no NUL); throws std::runtime_error when the editor cannot hold it.
    virtual void setScriptText(const std::string &text, platform::TextCoding coding) = 0;
    /// Shows @p state with @p text (ignored when Idle).
    virtual void showRunState(RunState state, const std::string &text) = 0;
};
