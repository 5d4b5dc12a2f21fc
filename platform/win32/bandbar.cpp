#include "platform/win32/bandbar.h"

#include "platform/win32/controls.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>
#include <vector>

namespace platform {

BandBar::BandBar(HWND owner, int id, HFONT font) : m_owner(owner), m_font(font)
{
    m_bar = createControl(owner, id, REBARCLASSNAMEA, nullptr,
                          WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT | RBS_BANDBORDERS |
                              CCS_NODIVIDER | CCS_TOP,
                          0, {}, {}, "The band container");
    // The bands in the button-face colour like the controls on them, whatever the visual style.
    SetWindowTheme(m_bar, L" ", L" ");
    REBARINFO info = {};
    info.cbSize = sizeof info;
    SendMessageW(m_bar, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info));
    SendMessageW(m_bar, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SetWindowSubclass(m_bar, barProc, 0, reinterpret_cast<DWORD_PTR>(owner));
}

HWND BandBar::addBand(int id, std::initializer_list<Item> items, SIZE buttonSize, int height,
                      int width, const wchar_t *text)
{
    // Captions only, in buttons of the given size: the list style keeps no room for images
    // under the captions, and the size is set last, after everything that makes the toolbar
    // measure its buttons again.
    const HWND toolBar = createControl(m_bar, id, TOOLBARCLASSNAMEA, nullptr,
                                       WS_CLIPCHILDREN | WS_CLIPSIBLINGS | CCS_NOPARENTALIGN |
                                           CCS_NORESIZE | CCS_NODIVIDER | TBSTYLE_LIST,
                                       0, {}, {}, "A toolbar");
    SetWindowTheme(toolBar, L" ", L" ");
    SetWindowSubclass(toolBar, toolBarProc, 0, reinterpret_cast<DWORD_PTR>(m_owner));
    SendMessageW(toolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(toolBar, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    SendMessageW(toolBar, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
    SendMessageW(toolBar, TB_SETPADDING, 0, MAKELPARAM(0, 0));
    std::vector<TBBUTTON> buttons;
    for (const Item &item : items) {
        TBBUTTON button = {};
        button.idCommand = item.id;
        if (item.caption) {
            button.iBitmap = I_IMAGENONE;
            button.fsState = TBSTATE_ENABLED;
            button.fsStyle = BTNS_BUTTON | BTNS_NOPREFIX;
            button.iString = reinterpret_cast<INT_PTR>(item.caption);
        } else {
            button.iBitmap = item.width; // a separator's width
            button.fsStyle = BTNS_SEP;
        }
        buttons.push_back(button);
    }
    SendMessageW(toolBar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageW(toolBar, TB_SETBUTTONWIDTH, 0, MAKELPARAM(buttonSize.cx, buttonSize.cx));
    SendMessageW(toolBar, TB_SETBUTTONSIZE, 0, MAKELPARAM(buttonSize.cx, buttonSize.cy));

    REBARBANDINFOW band = {};
    band.cbSize = REBARBANDINFOW_V6_SIZE;
    band.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_ID |
                 (text ? RBBIM_TEXT : 0);
    const bool first = SendMessageW(m_bar, RB_GETBANDCOUNT, 0, 0) == 0;
    band.fStyle = RBBS_NOGRIPPER | (first ? 0 : RBBS_BREAK); // a row each
    band.hwndChild = toolBar;
    band.cxMinChild = static_cast<UINT>(itemRect(toolBar, int(buttons.size()) - 1).right);
    band.cyMinChild = static_cast<UINT>(height);
    band.cx = static_cast<UINT>(width);
    band.lpText = const_cast<wchar_t *>(text);
    band.wID = static_cast<UINT>(id);
    if (!SendMessageW(m_bar, RB_INSERTBANDW, static_cast<WPARAM>(-1),
                      reinterpret_cast<LPARAM>(&band)))
        throw windowsFailure("A band could not be made");
    return toolBar;
}

RECT BandBar::itemRect(HWND toolBar, int index)
{
    RECT rect = {};
    SendMessageW(toolBar, TB_GETITEMRECT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&rect));
    return rect;
}

void BandBar::placeOnRoom(HWND toolBar, int index, HWND control, int height)
{
    RECT outer = {};
    GetWindowRect(control, &outer);
    SetWindowPos(control, nullptr, itemRect(toolBar, index).left,
                 std::max<int>(0, (height - (outer.bottom - outer.top)) / 2), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int BandBar::minimumWidth() const
{
    int width = 0;
    const int bands = static_cast<int>(SendMessageW(m_bar, RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < bands; ++i) {
        RECT borders = {};
        SendMessageW(m_bar, RB_GETBANDBORDERS, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&borders));
        REBARBANDINFOW band = {};
        band.cbSize = REBARBANDINFOW_V6_SIZE;
        band.fMask = RBBIM_CHILDSIZE;
        SendMessageW(m_bar, RB_GETBANDINFOW, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&band));
        width = std::max(width, static_cast<int>(borders.left + borders.right + band.cxMinChild));
    }
    return width;
}

LRESULT CALLBACK BandBar::barProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR owner) noexcept
{
    if (message == WM_NOTIFY &&
        reinterpret_cast<const NMHDR *>(lParam)->code == UINT(NM_CUSTOMDRAW) &&
        GetParent(reinterpret_cast<const NMHDR *>(lParam)->hwndFrom) == bar)
        return paint(*reinterpret_cast<const NMTBCUSTOMDRAW *>(lParam));
    if (message == WM_COMMAND)
        return SendMessageW(reinterpret_cast<HWND>(owner), message, wParam, lParam);
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(bar, barProc, 0);
    return DefSubclassProc(bar, message, wParam, lParam);
}

LRESULT CALLBACK BandBar::toolBarProc(HWND toolBar, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR owner) noexcept
{
    // A toolbar keeps what the controls on it report to itself.
    if (message == WM_COMMAND && lParam != 0 &&
        GetParent(reinterpret_cast<HWND>(lParam)) == toolBar)
        return SendMessageW(reinterpret_cast<HWND>(owner), message, wParam, lParam);
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(toolBar, toolBarProc, 0);
    return DefSubclassProc(toolBar, message, wParam, lParam);
}

LRESULT BandBar::paint(const NMTBCUSTOMDRAW &draw) noexcept
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

} // namespace platform
