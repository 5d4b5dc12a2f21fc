#include "korvexformwin.h"

#include "platform/textcoding.h"
#include "platform/win32/bandbar.h"
#include "platform/win32/controls.h"
#include "platform/win32/windowobject.h"
#include "window/exceptionbox.h"
#include "window/korvexform.h"
#include "window/toolkittexts.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <stdexcept>

using platform::BandBar;

namespace {

constexpr wchar_t ClassName[] = L"TfrmKorvex";

// The design sizes, in pixels at 96 dpi.
constexpr int FormLeft = 190;
constexpr int FormTop = 105;
constexpr int FormWidth = 409; // outer size, frame included
constexpr int FormHeight = 291;
constexpr int BandHeight = 22;
constexpr int BandWidth = 401;
constexpr int ButtonWidth = 81;
constexpr int ButtonHeight = 20;
constexpr int DividerWidth = 8;
constexpr int SelectAreaWidth = 103;
constexpr int ScriptsWidth = 201;
constexpr int ScriptsDropDownHeight = 160; // the list's dropped-down part
constexpr int FontHeight = 12;
constexpr int MemoMinimumLines = 2;

/// The editor's text in @p coding, its lines separated by CR LF.
std::string memoText(HWND memo, platform::TextCoding coding)
{
    const int length = GetWindowTextLengthW(memo);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        std::clamp(GetWindowTextW(memo, text.data(), length + 1), 0, length)));
    return platform::editorBytes(
        std::u16string_view(reinterpret_cast<const char16_t *>(text.data()), text.size()), coding);
}

} // namespace

struct KorvexFormWin::Showing
{
    bool ended = false;
    bool windowGone = false;
};

std::unique_ptr<TfrmKorvex> TfrmKorvex::create(platform::WindowHandle parent)
{
    return std::make_unique<TfrmKorvex>(
        [parent](TfrmKorvex &form) { return std::make_unique<KorvexFormWin>(form, parent); });
}

KorvexFormWin::KorvexFormWin(TfrmKorvex &form, platform::WindowHandle parent) : m_form(form)
{
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&classes);

    platform::registerWindowClass(ClassName, &KorvexFormWin::windowProc);

    try {
        m_dpi = platform::screenDpi();
        m_formFont = platform::createFont({L"ＭＳ Ｐゴシック", L"MS PGothic", L"MS UI Gothic",
                                           L"Meiryo UI", L"Yu Gothic UI", L"Noto Sans CJK JP",
                                           L"IPAPGothic", L"VL PGothic"},
                                          scaled(FontHeight), false);
        m_memoFont = platform::createFont(
            {L"ＭＳ ゴシック", L"MS Gothic", L"Noto Sans Mono CJK JP", L"IPAGothic", L"VL Gothic"},
            scaled(FontHeight), true);

        // A dialog's frame and system menu: move, size and close, no minimizing or maximizing.
        DWORD style = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
        DWORD exStyle = WS_EX_DLGMODALFRAME;
        if (parent)
            style |= WS_CHILD;
        else
            exStyle |= WS_EX_TOPMOST;
        if (!CreateWindowExW(exStyle, ClassName, L"Korvex", style, scaled(FormLeft),
                             scaled(FormTop), scaled(FormWidth), scaled(FormHeight), parent,
                             nullptr, platform::ownModule(), this))
            throw platform::windowsFailure("The script window could not be created");
        if (const HMENU menu = GetSystemMenu(m_handle, FALSE)) {
            for (UINT command : {SC_RESTORE, SC_MINIMIZE, SC_MAXIMIZE})
                DeleteMenu(menu, command, MF_BYCOMMAND);
        }
        createBands();
        createEditorAndRunBar();
        layOut();

        const SIZE client = minimumClientSize();
        RECT outer = {0, 0, client.cx, client.cy};
        AdjustWindowRectEx(&outer, style, FALSE, exStyle);
        m_minimumSize = {outer.right - outer.left, outer.bottom - outer.top};
    } catch (...) {
        destroy();
        throw;
    }
}

KorvexFormWin::~KorvexFormWin()
{
    if (m_showing) {
        m_showing->ended = true;
        m_showing->windowGone = true;
    }
    destroy();
}

void KorvexFormWin::destroy() noexcept
{
    if (m_handle)
        DestroyWindow(m_handle); // its controls with it
    m_handle = nullptr;
    // Fails while another window of the class exists; the last one takes the class with it.
    UnregisterClassW(ClassName, platform::ownModule());
}

HWND KorvexFormWin::adopt(HWND control, HFONT font, bool previewed)
{
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    // Key preview: what the user types into a control is the window's to see first.
    if (previewed)
        SetWindowSubclass(control, controlProc, 0, reinterpret_cast<DWORD_PTR>(this));
    return control;
}

void KorvexFormWin::createBands()
{
    using platform::createControl;
    const SIZE button = {scaled(ButtonWidth), scaled(ButtonHeight)};
    // CoolBar1: ToolBar1 with 実行, キャンセル and the selection-only box; ToolBar2 with the
    // scripts list and 更新.
    m_coolBar = std::make_unique<BandBar>(m_handle, CoolBar1, m_formFont.get());
    m_toolBar1 = m_coolBar->addBand(
        ToolBar1,
        {BandBar::button(SpeedButton1, L"実行"), BandBar::divider(scaled(DividerWidth)),
         BandBar::button(SpeedButton2, L"キャンセル"), BandBar::divider(scaled(DividerWidth)),
         BandBar::room(chkSelectArea, scaled(SelectAreaWidth))},
        button, scaled(BandHeight), scaled(BandWidth));
    m_selectArea =
        adopt(createControl(m_toolBar1, chkSelectArea, "BUTTON", L"選択範囲のみ",
                            WS_TABSTOP | BS_AUTOCHECKBOX, 0, {},
                            {scaled(SelectAreaWidth), scaled(ButtonHeight)}, "The check box"),
              m_formFont.get(), true);
    BandBar::placeOnRoom(m_toolBar1, 4, m_selectArea, scaled(BandHeight));
    m_toolBar2 = m_coolBar->addBand(ToolBar2,
                                    {BandBar::room(cboScripts, scaled(ScriptsWidth)),
                                     BandBar::divider(scaled(DividerWidth)),
                                     BandBar::button(SpeedButton3, L"更新")},
                                    button, scaled(BandHeight), scaled(BandWidth), L"スクリプト:");
    // The list holds file names in the system's code page, so it is an ANSI window; its items
    // take one line of the font, 12 pixels with "ＭＳ Ｐゴシック".
    m_scripts = adopt(createControl(m_toolBar2, cboScripts, "COMBOBOX", nullptr,
                                    WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, {},
                                    {scaled(ScriptsWidth), scaled(ScriptsDropDownHeight)},
                                    "The list", true),
                      m_formFont.get(), true);
    platform::fitComboBox(m_scripts, scaled(BandHeight));
    BandBar::placeOnRoom(m_toolBar2, 0, m_scripts, scaled(BandHeight));
}

void KorvexFormWin::createEditorAndRunBar()
{
    using platform::createControl;
    // Memo1: the script's text, every byte of it kept whatever its coding (a Unicode window);
    // Tab and Enter are typed into it, it scrolls sideways rather than wrapping, and shows no
    // scroll bars.
    m_memo = adopt(
        createControl(m_handle, Memo1, "EDIT", nullptr,
                      WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN | ES_AUTOHSCROLL | ES_AUTOVSCROLL,
                      WS_EX_CLIENTEDGE, {}, {}, "The editor"),
        m_memoFont.get(), true);
    SendMessageW(m_memo, EM_SETLIMITTEXT, 0, 0); // as much as the system holds
    m_lastFocus = m_memo;
    // The running bar, shown during a long run: what the run has done so far, and Stop.
    m_runText = adopt(createControl(m_handle, lblRunning, "STATIC", L"", SS_CENTERIMAGE, 0, {}, {},
                                    "The running bar"),
                      m_formFont.get(), false);
    m_stop =
        adopt(createControl(m_handle, btnStop, "BUTTON", L"停止", BS_PUSHBUTTON, 0, {}, {}, "Stop"),
              m_formFont.get(), true);
    ShowWindow(m_runText, SW_HIDE);
    ShowWindow(m_stop, SW_HIDE);
}

SIZE KorvexFormWin::minimumClientSize() const
{
    RECT bar = {};
    GetWindowRect(m_coolBar->handle(), &bar);
    // The editor: a few whole lines inside its edge.
    int lineHeight = scaled(FontHeight);
    if (const HDC dc = GetDC(m_memo)) {
        const HGDIOBJ old = SelectObject(dc, m_memoFont.get());
        TEXTMETRICW metrics = {};
        if (GetTextMetricsW(dc, &metrics))
            lineHeight = metrics.tmHeight;
        SelectObject(dc, old);
        ReleaseDC(m_memo, dc);
    }
    const int memoHeight = MemoMinimumLines * lineHeight + 2 * GetSystemMetrics(SM_CYEDGE) + 2;
    return {m_coolBar->minimumWidth(), (bar.bottom - bar.top) + memoHeight};
}

void KorvexFormWin::layOut()
{
    if (!m_coolBar || !m_memo)
        return;
    RECT client = {};
    GetClientRect(m_handle, &client);
    SendMessageW(m_coolBar->handle(), WM_SIZE, 0, 0); // the band container takes the width
    RECT bar = {};
    GetWindowRect(m_coolBar->handle(), &bar);
    const int top = bar.bottom - bar.top;
    const int runBar = m_runBarShown ? scaled(BandHeight) : 0;
    MoveWindow(m_memo, 0, top, client.right, std::max<int>(0, client.bottom - top - runBar), TRUE);
    if (m_runText && m_stop) {
        const int y = client.bottom - runBar;
        const int stopLeft = std::max<int>(0, client.right - scaled(ButtonWidth) - 1);
        MoveWindow(m_runText, scaled(4), y, std::max(0, stopLeft - scaled(8)), runBar, TRUE);
        MoveWindow(m_stop, stopLeft, y + 1, scaled(ButtonWidth), scaled(ButtonHeight), TRUE);
    }
}

LRESULT CALLBACK KorvexFormWin::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto *self = platform::windowObject(window, message, lParam, &KorvexFormWin::m_handle);
    if (message == WM_NCDESTROY)
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    if (!self || message == WM_NCDESTROY)
        return DefWindowProcW(window, message, wParam, lParam);
    // No failure leaves a window procedure: it is shown in the error box instead.
    LRESULT result = 0;
    ExceptionBox::guarded(window, [&] { result = self->handleMessage(message, wParam, lParam); });
    return result;
}

bool KorvexFormWin::forwardCommand(WPARAM command)
{
    switch (LOWORD(command)) {
    case SpeedButton1:
        m_form.SpeedButton1Click();
        return true;
    case SpeedButton2:
        m_form.SpeedButton2Click();
        return true;
    case SpeedButton3:
        m_form.SpeedButton3Click();
        return true;
    case btnStop:
        m_form.btnStopClick();
        return true;
    case cboScripts:
        if (HIWORD(command) == CBN_SELCHANGE)
            m_form.cboScriptsChange();
        return true;
    }
    return false;
}

LRESULT KorvexFormWin::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (forwardCommand(wParam))
            return 0;
        break;
    case WM_NOTIFY: {
        const auto &notice = *reinterpret_cast<const NMHDR *>(lParam);
        if (notice.code == RBN_HEIGHTCHANGE)
            layOut();
        break;
    }
    case WM_SIZE:
        layOut();
        return 0;
    case WM_GETMINMAXINFO:
        if (m_minimumSize.cx > 0) {
            auto *limits = reinterpret_cast<MINMAXINFO *>(lParam);
            limits->ptMinTrackSize.x = std::max<LONG>(limits->ptMinTrackSize.x, m_minimumSize.cx);
            limits->ptMinTrackSize.y = std::max<LONG>(limits->ptMinTrackSize.y, m_minimumSize.cy);
        }
        return 0;
    case WM_ACTIVATE:
        // The focus comes back to the control that had it, the editor at first.
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            if (focus && IsChild(m_handle, focus))
                m_lastFocus = focus;
        } else {
            SetFocus(m_lastFocus && IsWindow(m_lastFocus) ? m_lastFocus : m_memo);
        }
        return 0;
    case WM_SETFOCUS:
        SetFocus(m_lastFocus && IsWindow(m_lastFocus) ? m_lastFocus : m_memo);
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (preview(m_handle, wParam))
            return 0;
        break;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_MINIMIZE:
        case SC_MAXIMIZE:
        case SC_RESTORE:
            return 0; // a dialog is neither minimized nor maximized
        }
        break;
    case WM_CLOSE:
        m_form.FormClose(); // hidden, not destroyed
        return 0;
    }
    return DefWindowProcW(m_handle, message, wParam, lParam);
}

LRESULT CALLBACK KorvexFormWin::controlProc(HWND control, UINT message, WPARAM wParam,
                                            LPARAM lParam, UINT_PTR, DWORD_PTR self)
{
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(control, controlProc, 0);
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
        auto *form = reinterpret_cast<KorvexFormWin *>(self);
        bool used = false;
        ExceptionBox::guarded(form->m_handle, [&] { used = form->preview(control, wParam); });
        if (used)
            return 0;
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

bool KorvexFormWin::preview(HWND control, WPARAM key)
{
    if (key == VK_ESCAPE) {
        SendMessageW(m_scripts, CB_SHOWDROPDOWN, FALSE, 0);
        return m_form.FormKeyDown(TfrmKorvex::VkEscape);
    }
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    // Ctrl+A selects the whole script, as in any editor (the system's edit control does not).
    if (control == m_memo && key == 'A' && ctrl && GetKeyState(VK_MENU) >= 0) {
        SendMessageW(m_memo, EM_SETSEL, 0, -1);
        return true;
    }
    // Tab moves between the editor, the check box and the list; in the editor, where Tab is
    // typed, Ctrl+Tab does.
    if (key == VK_TAB && (control != m_memo || ctrl)) {
        moveFocus(GetKeyState(VK_SHIFT) < 0);
        return true;
    }
    return false;
}
void KorvexFormWin::moveFocus(bool backward)
{
    const HWND order[] = {m_memo, m_selectArea, m_scripts};
    constexpr int count = static_cast<int>(std::size(order));
    const HWND focus = GetFocus();
    int at = 0;
    for (int i = 0; i < count; ++i) {
        if (focus == order[i] || IsChild(order[i], focus))
            at = i;
    }
    SetFocus(order[(at + (backward ? count - 1 : 1)) % count]);
}

platform::Rect KorvexFormWin::frameRect()
{
    RECT outer = {};
    GetWindowRect(m_handle, &outer);
    return {outer.left, outer.top, outer.right, outer.bottom};
}

void KorvexFormWin::moveTo(int left, int top)
{
    POINT at = {left, top};
    if (GetWindowLongPtrW(m_handle, GWL_STYLE) & WS_CHILD)
        MapWindowPoints(nullptr, GetParent(m_handle), &at, 1); // screen to parent coordinates
    SetWindowPos(m_handle, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool KorvexFormWin::isShown() const
{
    return IsWindowVisible(m_handle) != FALSE;
}

void KorvexFormWin::runModal()
{
    Showing showing;
    m_showing = &showing;
    m_lastFocus = m_memo; // every showing opens in the editor
    ShowWindow(m_handle, SW_SHOW);
    SetFocus(m_memo);
    m_form.FormShow();

    // The window may be destroyed by a message it dispatches (the host's release event): then
    // only what is on this stack is used.
    MSG message = {};
    BOOL got = 0;
    while (!showing.ended && (got = GetMessageW(&message, nullptr, 0, 0)) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (!showing.windowGone)
        m_showing = nullptr;
    if (got == 0)
        PostQuitMessage(int(message.wParam)); // the thread's WM_QUIT is the host's loop's
}

void KorvexFormWin::endModal()
{
    if (m_showing) {
        m_showing->ended = true; // the showing's loop ends at its next message
        PostMessageW(m_handle, WM_NULL, 0, 0);
    } else if (IsWindowVisible(m_handle)) {
        ShowWindow(m_handle, SW_HIDE);
    }
}

bool KorvexFormWin::selectionOnly() const
{
    return SendMessageW(m_selectArea, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void KorvexFormWin::setSelectionOnly(bool checked)
{
    SendMessageW(m_selectArea, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void KorvexFormWin::setScriptNames(const std::vector<std::string> &names)
{
    SendMessageA(m_scripts, CB_RESETCONTENT, 0, 0); // also chooses nothing
    for (const std::string &name : names)
        SendMessageA(m_scripts, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
}

std::optional<std::string> KorvexFormWin::chosenScriptName() const
{
    const LRESULT index = SendMessageA(m_scripts, CB_GETCURSEL, 0, 0);
    const LRESULT length =
        index == CB_ERR ? CB_ERR : SendMessageA(m_scripts, CB_GETLBTEXTLEN, WPARAM(index), 0);
    if (length == CB_ERR)
        return std::nullopt;
    std::string name(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied = SendMessageA(m_scripts, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(name.data()));
    name.resize(copied == CB_ERR ? 0 : static_cast<std::size_t>(std::min(copied, length)));
    return name;
}

LineList KorvexFormWin::scriptLines(platform::TextCoding coding) const
{
    LineList lines;
    lines.adoptText(memoText(m_memo, coding));
    return lines;
}

std::string KorvexFormWin::scriptText(platform::TextCoding coding) const
{
    return memoText(m_memo, coding);
}

void KorvexFormWin::setScriptText(const std::string &text, platform::TextCoding coding)
{
    const std::u16string wide = platform::editorText(text, coding);
    if (!SetWindowTextW(m_memo, reinterpret_cast<const wchar_t *>(wide.c_str())))
        throw std::runtime_error(ToolkitTexts::memoLimitExceeded());
}

void KorvexFormWin::showRunState(RunState state, const std::string &text)
{
    const bool running = state == RunState::Running;
    // What would start something else, or change what runs, waits for the run to end.
    for (HWND toolBar : {m_toolBar1, m_toolBar2}) {
        for (int command : {int(SpeedButton1), int(SpeedButton3)})
            SendMessageW(toolBar, TB_ENABLEBUTTON, WPARAM(command), MAKELPARAM(!running, 0));
    }
    EnableWindow(m_scripts, !running);
    EnableWindow(m_selectArea, !running);
    SendMessageW(m_memo, EM_SETREADONLY, running, 0);
    SetWindowTextW(m_runText, platform::utf16(text).c_str());
    ShowWindow(m_stop, running ? SW_SHOWNA : SW_HIDE);
    EnableWindow(m_stop, running);
    const bool shown = state != RunState::Idle;
    ShowWindow(m_runText, shown ? SW_SHOWNA : SW_HIDE);
    if (shown != m_runBarShown) {
        m_runBarShown = shown;
        layOut();
    }
}
