#pragma once

#include "window/formview.h"
#include "window/rundisplay.h"
#include "window/scriptsfolder.h"

#include "platform/windowhandle.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

/**
 * The script window: a script editor, the list of the scripts in Documents/Korvex, Run, Cancel,
 * Refresh and "selection only", shown over the editor's view. One object serves every command
 * of the host; closing it only hides it, so the script stays for the next command. A script
 * that runs longer than a moment shows a running bar with Stop; Escape, Cancel and the frame's
 * close button then stop it too, and a stopped run leaves the window open, saying so.
 *
 * This class is the window's whole behaviour and knows no toolkit: each system's face
 * (FormView) draws the window and forwards what the user does to the handlers below.
 */
class TfrmKorvex : private RunDisplay
{
public:
    /// Where the window goes: its left and top edges in screen coordinates.
    struct Position
    {
        int left = 0;
        int top = 0;
        friend bool operator==(const Position &, const Position &) = default;
    };

    /// Makes the face of a window.
    using ViewFactory = std::function<std::unique_ptr<FormView>(TfrmKorvex &)>;

    /// The virtual-key code of Escape, as faces report it to FormKeyDown.
    static constexpr int VkEscape = 27;

    /// The window with this system's face, under @p parent (none: a top-level window with no
    /// owner; a parent makes it a child window of that parent). Defined by the face.
    static std::unique_ptr<TfrmKorvex> create(platform::WindowHandle parent);

    /// Where a window of @p width and @p height (outer size) goes over @p view: centred on it,
    /// never at negative coordinates (the right and bottom edges are not checked).
    static Position placeOver(const platform::Rect &view, int width, int height);

    /// The window with the face @p makeView makes for it.
    explicit TfrmKorvex(const ViewFactory &makeView);
    ~TfrmKorvex() override;
    TfrmKorvex(const TfrmKorvex &) = delete;
    TfrmKorvex &operator=(const TfrmKorvex &) = delete;

    /// Prepares the window for showing over @p view: places it, checks "selection only" exactly
    /// when the view has a selection, makes sure the scripts folder exists and lists it.
    void AttachToView(platform::WindowHandle view);
    /// Refills the scripts list from the scripts folder, in the file system's order.
    void ListScripts();
    /**
     * Shows the window modally: every other visible, enabled top-level window of the thread is
     * disabled meanwhile and enabled again afterwards, and the one that was active gets the
     * activation back. Returns when the window closes; the window may have been destroyed by
     * then (by the host's release, from inside the showing). Throws std::runtime_error when it
     * is shown already.
     */
    void showModal();
    /// Closes the window if it is shown, ending its modal showing; during a run, stops the
    /// script first and closes the window once the run has ended.
    void endShowing();
    /// Whether the window is shown.
    bool isShown() const;
    /// The window's own handle (owner of its message boxes).
    platform::WindowHandle handle() const;

    /// The face.
    FormView &view() const { return *m_view; }
    /// The view given by the last AttachToView.
    platform::WindowHandle viewWindow() const { return m_viewWindow; }
    /// The scripts folder, without a trailing separator.
    const std::string &scriptsFolder() const { return m_scriptsFolder.path(); }

    // What the user does, as the face reports it. A failure of the plug-in's own steps is shown
    // in the error box, and the window stays open.

    /// Run: filters the selection (or the whole document) through the script, then closes; a
    /// stopped run leaves the window open saying so. Nothing while a run goes on.
    void SpeedButton1Click();
    /// Cancel: closes the window; during a run, stops the script.
    void SpeedButton2Click();
    /// Refresh: lists the scripts folder again.
    void SpeedButton3Click();
    /// Loads the script chosen in the list into the editor; a folder or a vanished file is
    /// ignored.
    void cboScriptsChange();
    /// Stop: asks the running script to stop (again: forces it); nothing without a run.
    void btnStopClick();
    /// Key preview, whichever control has the focus and whatever the shift state: Escape means
    /// Cancel. Answers whether the key was used up.
    bool FormKeyDown(int key);
    /// The frame's close button: closes the window; during a run, stops the script instead.
    void FormClose();
    /// The window has been shown: it is placed again, now that a window manager's frame is
    /// known.
    void FormShow();

private:
    void showRunning(double seconds, std::size_t lines) override;
    void place();
    void runScript();
    void loadChosenScript();
    template <typename Handler> void guarded(Handler &&handler);

    std::unique_ptr<FormView> m_view;
    platform::WindowHandle m_viewWindow = nullptr;
    ScriptsFolder m_scriptsFolder;
    platform::TextCoding m_scriptCoding = platform::systemCoding(); // of the script editor's text
    bool m_runShown = false;    // the running bar shows the run in progress
    bool m_endAfterRun = false; // endShowing came during a run
    std::shared_ptr<TfrmKorvex *> m_alive = std::make_shared<TfrmKorvex *>(this); // goes with it
};
