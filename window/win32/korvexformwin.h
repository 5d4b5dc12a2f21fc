#pragma once

#include "platform/win32/controls.h"
#include "window/formview.h"

#include <windows.h>

#include <memory>

class TfrmKorvex;

namespace platform {
class BandBar;
} // namespace platform

/**
 * The script window as a Win32 window of class "TfrmKorvex": a band container (CoolBar1) with
 * two toolbars (Run, Cancel, selection only; the scripts list and Refresh) over the script
 * editor Memo1, and a running bar (the run's progress and Stop) below it during a long run.
 * It draws what its TfrmKorvex decides and forwards every click and key to it.
 */
class KorvexFormWin : public FormView
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
        lblRunning,
        btnStop,
    };

    /// Creates the window of @p form, hidden, under @p parent (none: a top-level window with no
    /// owner; a parent makes it a child window of that parent).
    KorvexFormWin(TfrmKorvex &form, platform::WindowHandle parent);
    ~KorvexFormWin() override;
    KorvexFormWin(const KorvexFormWin &) = delete;
    KorvexFormWin &operator=(const KorvexFormWin &) = delete;

    platform::WindowHandle handle() const override { return m_handle; }
    platform::Rect frameRect() override;
    void moveTo(int left, int top) override;
    bool isShown() const override;
    void runModal() override;
    void endModal() override;
    bool selectionOnly() const override;
    void setSelectionOnly(bool checked) override;
    void setScriptNames(const std::vector<std::string> &names) override;
    std::optional<std::string> chosenScriptName() const override;
    LineList scriptLines(platform::TextCoding coding) const override;
    std::string scriptText(platform::TextCoding coding) const override;
    void setScriptText(const std::string &text, platform::TextCoding coding) override;
    void showRunState(RunState state, const std::string &text) override;

private:
    struct Showing;

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK controlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR, DWORD_PTR self);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    /// Hands what a control reports (WM_COMMAND) to the form; whether it was one of its own.
    bool forwardCommand(WPARAM command);
    bool preview(HWND control, WPARAM key);
    /// Sets @p control's font, and has the window see its keys first when @p previewed.
    HWND adopt(HWND control, HFONT font, bool previewed);
    void createBands();
    void createEditorAndRunBar();
    void destroy() noexcept;
    int scaled(int pixels) const { return MulDiv(pixels, m_dpi, 96); }
    void layOut();
    SIZE minimumClientSize() const;
    void moveFocus(bool backward);

    TfrmKorvex &m_form;
    HWND m_handle = nullptr;
    std::unique_ptr<platform::BandBar> m_coolBar;
    HWND m_toolBar1 = nullptr;
    HWND m_toolBar2 = nullptr;
    HWND m_memo = nullptr;
    HWND m_selectArea = nullptr;
    HWND m_scripts = nullptr;
    HWND m_runText = nullptr;
    HWND m_stop = nullptr;
    HWND m_lastFocus = nullptr; // the control that gets the focus back on activation
    platform::Font m_formFont;
    platform::Font m_memoFont;
    int m_dpi = 96;
    SIZE m_minimumSize = {};      // outer size below which every control would not be whole
    bool m_runBarShown = false;   // the running bar takes the bottom of the window
    Showing *m_showing = nullptr; // the modal showing in progress, if any
};
