#pragma once

#include <windows.h>

#include <commctrl.h>

#include <initializer_list>

namespace platform {

/**
 * A band container (a rebar) at the top of a window, each band on a row of its own holding a
 * toolbar of captioned push buttons, dividers and room for controls. The toolbars are drawn
 * the classic way whatever the visual style (raised push buttons, sunken while pressed; etched
 * dividers). What the buttons report (WM_COMMAND with their id), and what the controls placed
 * on the toolbars report, goes to the window that holds the container.
 */
class BandBar
{
public:
    /// An item of a toolbar: a button, a divider, or the room a control stands on.
    struct Item
    {
        int id = 0;
        int width = 0;
        const wchar_t *caption = nullptr;
    };
    static Item button(int id, const wchar_t *caption) { return {id, 0, caption}; }
    static Item divider(int width) { return {0, width, nullptr}; }
    static Item room(int id, int width) { return {id, width, nullptr}; }

    /// Makes the container, with the control id @p id, in @p owner; its texts are in @p font.
    /// Throws std::runtime_error when it cannot.
    BandBar(HWND owner, int id, HFONT font);

    HWND handle() const { return m_bar; }
    /**
     * Adds a band @p height high and @p width wide, titled @p text (none: untitled), holding
     * the toolbar @p id of @p items, whose buttons are @p buttonSize large; answers the
     * toolbar. Throws std::runtime_error when it cannot.
     */
    HWND addBand(int id, std::initializer_list<Item> items, SIZE buttonSize, int height, int width,
                 const wchar_t *text = nullptr);
    /// Where item @p index of @p toolBar stands, in the toolbar's coordinates.
    static RECT itemRect(HWND toolBar, int index);
    /// Puts @p control, a child of @p toolBar, on the room of its item @p index: at the room's
    /// left, centred on a band @p height high.
    static void placeOnRoom(HWND toolBar, int index, HWND control, int height);
    /// The width that shows every band whole, its title included.
    int minimumWidth() const;

private:
    static LRESULT CALLBACK barProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR owner) noexcept;
    static LRESULT CALLBACK toolBarProc(HWND toolBar, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR, DWORD_PTR owner) noexcept;
    static LRESULT paint(const NMTBCUSTOMDRAW &draw) noexcept;

    HWND m_owner;
    HWND m_bar = nullptr;
    HFONT m_font;
};

} // namespace platform
