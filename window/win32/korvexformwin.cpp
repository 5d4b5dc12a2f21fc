#include "korvexformwin.h"

#include "platform/win32/windowobject.h"
#include "window/exceptionbox.h"
#include "window/korvexform.h"
#include "window/toolkittexts.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <initializer_list>
#include <iterator>
#include <stdexcept>
#include <string_view>
#include <vector>

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

HINSTANCE thisModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&thisModule), &module);
    return module;
}

// A failure of the step @p what, with the thread's last Windows error.
std::runtime_error windowsFailure(const char *what)
{
    const DWORD error = GetLastError();
    return std::runtime_error(std::string(what) + " (Windows error " + std::to_string(error) + ")");
}

/**
 * Makes the control @p id of the ASCII-named @p className under @p parent, @p size large at
 * @p at; an ANSI window when @p ansi (its text then is bytes in the system's code page).
 * Throws std::runtime_error naming @p what when it cannot be made.
 */
HWND createControl(HWND parent, int id, const char *className, const wchar_t *text, DWORD style,
                   DWORD exStyle, POINT at, SIZE size, const char *what, bool ansi = false)
{
    const auto menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
    const HINSTANCE instance = thisModule();
    style |= WS_CHILD | WS_VISIBLE;
    HWND control = nullptr;
    if (ansi) {
        control = CreateWindowExA(exStyle, className, "", style, at.x, at.y, size.cx, size.cy,
                                  parent, menu, instance, nullptr);
    } else {
        const std::wstring wideClass(className, className + std::strlen(className));
        control = CreateWindowExW(exStyle, wideClass.c_str(), text, style, at.x, at.y, size.cx,
                                  size.cy, parent, menu, instance, nullptr);
    }
    if (!control) {
        const DWORD error = GetLastError();
        throw std::runtime_error(std::string("The script window's ") + what +
                                 " could not be created (Windows error " + std::to_string(error) +
                                 ")");
    }
    return control;
}

int screenDpi()
{
    const HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

// Whether a font family named @p face with the character set @p charset is installed.
bool fontInstalled(HDC dc, const wchar_t *face, BYTE charset)
{
    LOGFONTW query = {};
    query.lfCharSet = charset;
    std::wcsncpy(query.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(
        dc, &query,
        [](const LOGFONTW *, const TEXTMETRICW *, DWORD, LPARAM found) -> int {
            *reinterpret_cast<bool *>(found) = true;
            return 0;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

/**
 * A font @p pixels high (character height): the first of @p faces that is installed with the
 * Shift-JIS character set; failing all of them, the system's message font (or, for a fixed
 * pitch, whatever fixed-pitch font the font mapper offers) in the default character set.
 */
HFONT createFont(std::initializer_list<const wchar_t *> faces, int pixels, bool fixedPitch)
{
    LOGFONTW font = {};
    font.lfHeight = -pixels;
    font.lfWeight = FW_NORMAL;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = fixedPitch ? FIXED_PITCH | FF_MODERN : VARIABLE_PITCH | FF_SWISS;
    font.lfCharSet = DEFAULT_CHARSET;
    const HDC screen = GetDC(nullptr);
    for (const wchar_t *face : faces) {
        if (screen && fontInstalled(screen, face, SHIFTJIS_CHARSET)) {
            std::wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
            font.lfCharSet = SHIFTJIS_CHARSET;
            break;
        }
    }
    if (screen)
        ReleaseDC(nullptr, screen);
    if (font.lfFaceName[0] == L'\0' && !fixedPitch) {
        NONCLIENTMETRICSW metrics = {};
        metrics.cbSize = sizeof metrics;
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
            std::wcsncpy(font.lfFaceName, metrics.lfMessageFont.lfFaceName, LF_FACESIZE - 1);
    }
    return CreateFontIndirectW(&font);
}

TBBUTTON pushButton(int id, const wchar_t *caption)
{
    TBBUTTON button = {};
    button.iBitmap = I_IMAGENONE;
    button.idCommand = id;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_BUTTON | BTNS_NOPREFIX;
    button.iString = reinterpret_cast<INT_PTR>(caption);
    return button;
}

// A separator @p width wide: a divider between buttons, or with the @p id of a control, the
// room that control takes on the toolbar.
TBBUTTON separator(int width, int id = 0)
{
    TBBUTTON gap = {};
    gap.iBitmap = width;
    gap.idCommand = id;
    gap.fsStyle = BTNS_SEP;
    return gap;
}

// The room the control @p index of @p toolBar stands on, in the toolbar's coordinates.
RECT itemRect(HWND toolBar, int index)
{
    RECT rect = {};
    SendMessageW(toolBar, TB_GETITEMRECT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&rect));
    return rect;
}

// The toolbars pass what their controls (the check box, the list) report to the window.
LRESULT CALLBACK toolBarProc(HWND toolBar, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                             DWORD_PTR form) noexcept
{
    if (message == WM_COMMAND && lParam != 0 &&
        GetParent(reinterpret_cast<HWND>(lParam)) == toolBar)
        return SendMessageW(reinterpret_cast<HWND>(form), message, wParam, lParam);
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(toolBar, toolBarProc, 0);
    return DefSubclassProc(toolBar, message, wParam, lParam);
}

/**
 * Draws a toolbar's items the classic way whatever the visual style: the buttons raised push
 * buttons (sunken while pressed) with their captions centred, the dividers etched lines.
 */
LRESULT paintToolBar(const NMTBCUSTOMDRAW &draw) noexcept
{
    const HWND toolBar = draw.nmcd.hdr.hwndFrom;
    const HDC dc = draw.nmcd.hdc;
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    case CDDS_ITEMPREPAINT: {
        RECT face = draw.nmcd.rc;
        const bool pushed = draw.nmcd.uItemState & (CDIS_SELECTED | CDIS_CHECKED);
        const bool disabled = draw.nmcd.uItemState & CDIS_DISABLED;
        DrawFrameControl(dc, &face, DFC_BUTTON,
                         DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0) |
                             (disabled ? DFCS_INACTIVE : 0));
        wchar_t caption[64] = {};
        SendMessageW(toolBar, TB_GETBUTTONTEXTW, draw.nmcd.dwItemSpec,
                     reinterpret_cast<LPARAM>(caption));
        if (pushed)
            OffsetRect(&face, 1, 1);
        const HGDIOBJ oldFont =
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(toolBar, WM_GETFONT, 0, 0)));
        const int oldMode = SetBkMode(dc, TRANSPARENT);
        const COLORREF oldColour =
            SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
        DrawTextW(dc, caption, -1, &face, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SetTextColor(dc, oldColour);
        SetBkMode(dc, oldMode);
        SelectObject(dc, oldFont);
        return CDRF_SKIPDEFAULT;
    }
    case CDDS_POSTPAINT: {
        const int count = static_cast<int>(SendMessageW(toolBar, TB_BUTTONCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            TBBUTTON button = {};
            SendMessageW(toolBar, TB_GETBUTTON, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(&button));
            if (!(button.fsStyle & BTNS_SEP) || button.idCommand != 0)
                continue; // a button, or the room of a control
            RECT line = itemRect(toolBar, i);
            line.left += (line.right - line.left) / 2 - 1;
            line.right = line.left + 2;
            DrawEdge(dc, &line, EDGE_ETCHED, BF_LEFT);
        }
        return CDRF_DODEFAULT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

/// The editor's text as bytes in the system's code page, its lines separated by CR LF.
std::string memoText(HWND memo)
{
    const int length = GetWindowTextLengthA(memo);
    if (length <= 0)
        return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(memo, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::clamp(copied, 0, length)));
    return text;
}
/// @p utf8 as UTF-16, for the system's wide interfaces.
std::wstring wide(const std::string &utf8)
{
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(std::max(size, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), text.data(), size);
    return text;
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

    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &KorvexFormWin::windowProc;
    windowClass.hInstance = thisModule();
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = ClassName;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw windowsFailure("The script window's class could not be registered");

    try {
        m_dpi = screenDpi();
        m_formFont =
            createFont({L"ＭＳ Ｐゴシック", L"MS PGothic", L"MS UI Gothic", L"Meiryo UI",
                        L"Yu Gothic UI", L"Noto Sans CJK JP", L"IPAPGothic", L"VL PGothic"},
                       scaled(FontHeight), false);
        m_memoFont = createFont(
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
                             nullptr, thisModule(), this))
            throw windowsFailure("The script window could not be created");
        if (const HMENU menu = GetSystemMenu(m_handle, FALSE)) {
            for (UINT command : {SC_RESTORE, SC_MINIMIZE, SC_MAXIMIZE})
                DeleteMenu(menu, command, MF_BYCOMMAND);
        }
        createControls();
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
    for (HFONT *font : {&m_formFont, &m_memoFont}) {
        if (*font)
            DeleteObject(*font);
        *font = nullptr;
    }
    // Fails while another window of the class exists; the last one takes the class with it.
    UnregisterClassW(ClassName, thisModule());
}

void KorvexFormWin::createControls()
{
    const auto setFont = [](HWND control, HFONT font) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    };
    // Key preview: what the user types into a control is the window's to see first.
    const auto previewed = [this](HWND control) {
        SetWindowSubclass(control, controlProc, 0, reinterpret_cast<DWORD_PTR>(this));
        return control;
    };
    m_coolBar = createControl(m_handle, CoolBar1, REBARCLASSNAMEA, nullptr,
                              WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT | RBS_BANDBORDERS |
                                  CCS_NODIVIDER | CCS_TOP,
                              0, {}, {}, "band container");
    // The bands in the button-face colour like the controls on them, whatever the visual style.
    SetWindowTheme(m_coolBar, L" ", L" ");
    REBARINFO bar = {};
    bar.cbSize = sizeof bar;
    SendMessageW(m_coolBar, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&bar));
    setFont(m_coolBar, m_formFont);

    const auto makeToolBar = [&](int id, std::vector<TBBUTTON> items) {
        // Captions only, in buttons of the design size: the list style keeps no room for
        // images under the captions, and the size is set last, after everything that makes
        // the toolbar measure its buttons again. paintToolBar() draws the items.
        const HWND toolBar = createControl(m_coolBar, id, TOOLBARCLASSNAMEA, nullptr,
                                           WS_CLIPCHILDREN | WS_CLIPSIBLINGS | CCS_NOPARENTALIGN |
                                               CCS_NORESIZE | CCS_NODIVIDER | TBSTYLE_LIST,
                                           0, {}, {}, "toolbar");
        SetWindowTheme(toolBar, L" ", L" ");
        SetWindowSubclass(toolBar, toolBarProc, 0, reinterpret_cast<DWORD_PTR>(m_handle));
        SendMessageW(toolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        SendMessageW(toolBar, TB_SETPARENT, reinterpret_cast<WPARAM>(m_handle), 0);
        setFont(toolBar, m_formFont);
        SendMessageW(toolBar, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
        SendMessageW(toolBar, TB_SETPADDING, 0, MAKELPARAM(0, 0));
        SendMessageW(toolBar, TB_ADDBUTTONSW, items.size(), reinterpret_cast<LPARAM>(items.data()));
        SendMessageW(toolBar, TB_SETBUTTONWIDTH, 0,
                     MAKELPARAM(scaled(ButtonWidth), scaled(ButtonWidth)));
        SendMessageW(toolBar, TB_SETBUTTONSIZE, 0,
                     MAKELPARAM(scaled(ButtonWidth), scaled(ButtonHeight)));
        return toolBar;
    };

    // ToolBar1: 実行, a divider, キャンセル, a divider, the selection-only box.
    m_toolBar1 = makeToolBar(
        ToolBar1, {pushButton(SpeedButton1, L"実行"), separator(scaled(DividerWidth)),
                   pushButton(SpeedButton2, L"キャンセル"), separator(scaled(DividerWidth)),
                   separator(scaled(SelectAreaWidth), chkSelectArea)});
    const RECT selectArea = itemRect(m_toolBar1, 4);
    m_selectArea =
        previewed(createControl(m_toolBar1, chkSelectArea, "BUTTON", L"選択範囲のみ",
                                WS_TABSTOP | BS_AUTOCHECKBOX, 0, {selectArea.left, selectArea.top},
                                {scaled(SelectAreaWidth), scaled(ButtonHeight)}, "check box"));
    setFont(m_selectArea, m_formFont);

    // ToolBar2: the scripts list, a divider, 更新. The list holds file names in the system's
    // code page, so it is an ANSI window.
    m_toolBar2 =
        makeToolBar(ToolBar2, {separator(scaled(ScriptsWidth), cboScripts),
                               separator(scaled(DividerWidth)), pushButton(SpeedButton3, L"更新")});
    m_scripts = previewed(createControl(
        m_toolBar2, cboScripts, "COMBOBOX", nullptr, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0,
        {}, {scaled(ScriptsWidth), scaled(ScriptsDropDownHeight)}, "list", true));
    setFont(m_scripts, m_formFont);
    // The list's items take one line of the font: 12 pixels with "ＭＳ Ｐゴシック". Closed, the
    // list is made no higher than a band where the system lets it, and centred on the band.
    RECT closed = {};
    GetWindowRect(m_scripts, &closed);
    LRESULT field = SendMessageW(m_scripts, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    for (int pass = 0; pass < 2 && closed.bottom - closed.top > scaled(BandHeight); ++pass) {
        field -= (closed.bottom - closed.top) - scaled(BandHeight);
        SendMessageW(m_scripts, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
        GetWindowRect(m_scripts, &closed); // the system may keep it higher, for the font
    }
    const RECT scripts = itemRect(m_toolBar2, 0);
    SetWindowPos(m_scripts, nullptr, scripts.left,
                 std::max<int>(0, (scaled(BandHeight) - (closed.bottom - closed.top)) / 2), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    // CoolBar1: one band per toolbar, each on a row of its own.
    const auto addBand = [&](HWND toolBar, const wchar_t *text, bool newRow) {
        const int count = static_cast<int>(SendMessageW(toolBar, TB_BUTTONCOUNT, 0, 0));
        REBARBANDINFOW band = {};
        band.cbSize = REBARBANDINFOW_V6_SIZE;
        band.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_ID |
                     (text ? RBBIM_TEXT : 0);
        band.fStyle = RBBS_NOGRIPPER | (newRow ? RBBS_BREAK : 0);
        band.hwndChild = toolBar;
        band.cxMinChild = static_cast<UINT>(itemRect(toolBar, count - 1).right);
        band.cyMinChild = static_cast<UINT>(scaled(BandHeight));
        band.cx = static_cast<UINT>(scaled(BandWidth));
        band.lpText = const_cast<wchar_t *>(text);
        band.wID = static_cast<UINT>(GetDlgCtrlID(toolBar));
        if (!SendMessageW(m_coolBar, RB_INSERTBANDW, static_cast<WPARAM>(-1),
                          reinterpret_cast<LPARAM>(&band)))
            throw windowsFailure("The script window's band could not be made");
    };
    addBand(m_toolBar1, nullptr, false);
    addBand(m_toolBar2, L"スクリプト:", true);

    // Memo1: the script's bytes in the system's code page (an ANSI window); Tab and Enter are
    // typed into it, it scrolls sideways rather than wrapping, and shows no scroll bars.
    m_memo = previewed(
        createControl(m_handle, Memo1, "EDIT", nullptr,
                      WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN | ES_AUTOHSCROLL | ES_AUTOVSCROLL,
                      WS_EX_CLIENTEDGE, {}, {}, "editor", true));
    setFont(m_memo, m_memoFont);
    SendMessageW(m_memo, EM_SETLIMITTEXT, 0, 0); // as much as the system holds
    m_lastFocus = m_memo;

    // The running bar, shown during a long run: what the run has done so far, and Stop.
    m_runText = createControl(m_handle, lblRunning, "STATIC", L"", SS_LEFT | SS_CENTERIMAGE, 0, {},
                              {}, "running bar");
    m_stop = previewed(createControl(m_handle, btnStop, "BUTTON", L"停止", BS_PUSHBUTTON, 0, {}, {},
                                     "Stop button"));
    for (HWND control : {m_runText, m_stop}) {
        setFont(control, m_formFont);
        ShowWindow(control, SW_HIDE);
    }
}

SIZE KorvexFormWin::minimumClientSize() const
{
    // Every band whole: its header (the band text) and borders, and its toolbar's items.
    int width = 0;
    const int bands = static_cast<int>(SendMessageW(m_coolBar, RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < bands; ++i) {
        RECT borders = {};
        SendMessageW(m_coolBar, RB_GETBANDBORDERS, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&borders));
        REBARBANDINFOW band = {};
        band.cbSize = REBARBANDINFOW_V6_SIZE;
        band.fMask = RBBIM_CHILDSIZE;
        SendMessageW(m_coolBar, RB_GETBANDINFOW, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&band));
        width = std::max(width, static_cast<int>(borders.left + borders.right + band.cxMinChild));
    }
    RECT bar = {};
    GetWindowRect(m_coolBar, &bar);

    // The editor: a few whole lines inside its edge.
    int lineHeight = scaled(FontHeight);
    if (const HDC dc = GetDC(m_memo)) {
        const HGDIOBJ old = SelectObject(dc, m_memoFont);
        TEXTMETRICW metrics = {};
        if (GetTextMetricsW(dc, &metrics))
            lineHeight = metrics.tmHeight;
        SelectObject(dc, old);
        ReleaseDC(m_memo, dc);
    }
    const int memoHeight = MemoMinimumLines * lineHeight + 2 * GetSystemMetrics(SM_CYEDGE) + 2;
    return {width, (bar.bottom - bar.top) + memoHeight};
}

void KorvexFormWin::layOut()
{
    if (!m_coolBar || !m_memo)
        return;
    RECT client = {};
    GetClientRect(m_handle, &client);
    SendMessageW(m_coolBar, WM_SIZE, 0, 0); // the band container takes the window's width
    RECT bar = {};
    GetWindowRect(m_coolBar, &bar);
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

LRESULT KorvexFormWin::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case SpeedButton1:
            m_form.SpeedButton1Click();
            return 0;
        case SpeedButton2:
            m_form.SpeedButton2Click();
            return 0;
        case SpeedButton3:
            m_form.SpeedButton3Click();
            return 0;
        case btnStop:
            m_form.btnStopClick();
            return 0;
        case cboScripts:
            if (HIWORD(wParam) == CBN_SELCHANGE)
                m_form.cboScriptsChange();
            return 0;
        }
        break;
    case WM_NOTIFY: {
        const auto &notice = *reinterpret_cast<const NMHDR *>(lParam);
        if (notice.code == RBN_HEIGHTCHANGE)
            layOut();
        if (notice.code == NM_CUSTOMDRAW &&
            (notice.hwndFrom == m_toolBar1 || notice.hwndFrom == m_toolBar2))
            return paintToolBar(*reinterpret_cast<const NMTBCUSTOMDRAW *>(lParam));
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

LineList KorvexFormWin::scriptLines() const
{
    LineList lines;
    lines.adoptText(memoText(m_memo));
    return lines;
}

std::string KorvexFormWin::scriptText() const
{
    return memoText(m_memo);
}

void KorvexFormWin::setScriptText(const std::string &text)
{
    if (!SetWindowTextA(m_memo, text.c_str()))
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
    SetWindowTextW(m_runText, wide(text).c_str());
    ShowWindow(m_stop, running ? SW_SHOWNA : SW_HIDE);
    EnableWindow(m_stop, running);
    const bool shown = state != RunState::Idle;
    ShowWindow(m_runText, shown ? SW_SHOWNA : SW_HIDE);
    if (shown != m_runBarShown) {
        m_runBarShown = shown;
        layOut();
    }
}
