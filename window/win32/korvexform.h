#pragma once

#include "window/scriptsfolder.h"
#include "window/scriptwindow.h"

#include <windows.h>

#include <memory>
#include <string>

/**
 * The script window as a Win32 window of class "TfrmKorvex": a band container (CoolBar1) with
 * two toolbars (Run, Cancel, selection only; the scripts list and Refresh) over the script
 * editor Memo1. One object serves every command; closing it only hides it and ends its modal
 * showing, so the script text stays for the next command.
 */
class TfrmKorvex : public ScriptWindow
{
public:
    /// The control ids of the window's children (and the toolbar buttons' command ids).
    enum ControlId : int {
        CoolBar1 = 100,
        ToolBar1,
        ToolBar2,
        Memo1,
        chkSelectArea,
        cboScripts,
        SpeedButton1,
        SpeedButton2,
        SpeedButton3,
    };

    /// Creates the window, hidden, under @p parent (none: a top-level window with no owner;
    /// a parent makes it a child window of that parent).
    explicit TfrmKorvex(platform::WindowHandle parent);
    ~TfrmKorvex() override;
    TfrmKorvex(const TfrmKorvex &) = delete;
    TfrmKorvex &operator=(const TfrmKorvex &) = delete;

    void AttachToView(platform::WindowHandle view) override;
    void showModal() override;
    void endShowing() override;
    bool isShown() const override;
    platform::WindowHandle handle() const override { return m_handle; }

    /// Refills the scripts list from the scripts folder, in the file system's order.
    void ListScripts();

    /// Run: filters the selection (or the whole document) through the script, then closes.
    void SpeedButton1Click();
    /// Cancel: closes the window.
    void SpeedButton2Click();
    /// Refresh: lists the scripts folder again.
    void SpeedButton3Click();
    /// Loads the chosen script into the editor; a folder or a vanished file is ignored.
    void cboScriptsChange();
    /// Key preview: closes the window on Escape, whichever control has the focus and
    /// whatever the shift state. Answers whether the key was used up.
    bool FormKeyDown(WPARAM key);

private:
    struct Showing;

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls();
    void destroy() noexcept;
    int scaled(int pixels) const { return MulDiv(pixels, m_dpi, 96); }
    void layOut();
    SIZE minimumClientSize() const;
    bool preview(const MSG &message);
    void moveFocus(bool backward);
    void loadChosenScript();

    HWND m_handle = nullptr;
    HWND m_coolBar = nullptr;
    HWND m_toolBar1 = nullptr;
    HWND m_toolBar2 = nullptr;
    HWND m_memo = nullptr;
    HWND m_selectArea = nullptr;
    HWND m_scripts = nullptr;
    HWND m_lastFocus = nullptr; // the control that gets the focus back on activation
    HFONT m_formFont = nullptr;
    HFONT m_memoFont = nullptr;
    int m_dpi = 96;
    SIZE m_minimumSize = {};      // outer size below which every control would not be whole
    Showing *m_showing = nullptr; // the modal showing in progress, if any
    std::shared_ptr<int> m_lifetime = std::make_shared<int>(0); // expires with the object

    platform::WindowHandle m_viewWindow = nullptr;
    ScriptsFolder m_scriptsFolder;
};
