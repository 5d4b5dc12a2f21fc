#include "windowfixture.h"

#include <algorithm>

Controls::Controls(HWND window) : form(window)
{
    coolBar = FindWindowExW(form, nullptr, REBARCLASSNAMEW, nullptr);
    const auto bandChild = [this](int band) {
        REBARBANDINFOW info = {};
        info.cbSize = REBARBANDINFOW_V6_SIZE;
        info.fMask = RBBIM_CHILD;
        SendMessageW(coolBar, RB_GETBANDINFOW, static_cast<WPARAM>(band),
                     reinterpret_cast<LPARAM>(&info));
        return info.hwndChild;
    };
    toolBar1 = bandChild(0);
    toolBar2 = bandChild(1);
    memo = FindWindowExW(form, nullptr, L"Edit", nullptr);
    selectArea = FindWindowExW(toolBar1, nullptr, L"Button", nullptr);
    scripts = FindWindowExW(toolBar2, nullptr, L"ComboBox", nullptr);
}

std::vector<ToolItem> toolItems(HWND toolBar)
{
    std::vector<ToolItem> items;
    const int count = static_cast<int>(SendMessageW(toolBar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        SendMessageW(toolBar, TB_GETBUTTON, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&button));
        ToolItem item = {toolBar, button.idCommand, (button.fsStyle & BTNS_SEP) != 0, {}, {}};
        SendMessageW(toolBar, TB_GETITEMRECT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&item.rect));
        if (!item.separator) {
            wchar_t caption[64] = {};
            SendMessageW(toolBar, TB_GETBUTTONTEXTW, static_cast<WPARAM>(button.idCommand),
                         reinterpret_cast<LPARAM>(caption));
            item.caption = caption;
        }
        items.push_back(item);
    }
    return items;
}

void press(const Controls &controls, const std::wstring &caption)
{
    for (HWND toolBar : {controls.toolBar1, controls.toolBar2}) {
        for (const ToolItem &item : toolItems(toolBar)) {
            if (item.caption != caption)
                continue;
            const LPARAM at = MAKELPARAM((item.rect.left + item.rect.right) / 2,
                                         (item.rect.top + item.rect.bottom) / 2);
            PostMessageW(toolBar, WM_LBUTTONDOWN, MK_LBUTTON, at);
            PostMessageW(toolBar, WM_LBUTTONUP, 0, at);
            return;
        }
    }
    ADD_FAILURE() << "no toolbar button with that caption";
}

void postKey(HWND window, UINT key)
{
    const LPARAM scanCode = static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(window, WM_KEYDOWN, key, scanCode | 1);
    PostMessageW(window, WM_KEYUP, key, scanCode | 1 | (LPARAM(3) << 30));
}

void type(HWND window, const std::string &text)
{
    for (char c : text)
        PostMessageA(window, WM_CHAR, static_cast<unsigned char>(c), 1);
}

std::string textOf(HWND window)
{
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), length + 1)));
    return text;
}

std::wstring wideTextOf(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

int scaled(int pixels)
{
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return MulDiv(pixels, dpi, 96);
}

RECT rectIn(HWND window, HWND reference)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, reference, reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

namespace {

// Stops the enumeration at a window of class TfrmKorvex, stored in *found.
BOOL CALLBACK findKorvex(HWND window, LPARAM found)
{
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (std::wstring(name) != L"TfrmKorvex")
        return TRUE;
    *reinterpret_cast<HWND *>(found) = window;
    return FALSE;
}

// The thread's Korvex window, a top-level window or a child window of one.
HWND findKorvexWindow()
{
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) CALLBACK -> BOOL {
            if (findKorvex(window, found))
                EnumChildWindows(window, findKorvex, found);
            return *reinterpret_cast<HWND *>(found) == nullptr;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

} // namespace

void KorvexWindow::SetUp()
{
    removeTree(scriptsFolder());
    SetActiveWindow(host.frame());
}

void KorvexWindow::TearDown()
{
    library.OnEvents(host.view(), EVT_RELEASE, 0);
    host.discardPosted();
}

HWND KorvexWindow::korvexWindow()
{
    return findKorvexWindow();
}

std::string KorvexWindow::scriptsFolder()
{
    return documents().path() + "\\Korvex";
}

void KorvexWindow::writeScript(const std::string &name, const std::string &bytes) const
{
    CreateDirectoryA(scriptsFolder().c_str(), nullptr);
    const HANDLE file = CreateFileA((scriptsFolder() + "\\" + name).c_str(), GENERIC_WRITE, 0,
                                    nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << name;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(written, bytes.size()) << name;
}

namespace {

// A showing that a failed test left open is closed after this long.
constexpr UINT ShowingLimitMs = 60000;

void endShowing()
{
    if (const HWND form = findKorvexWindow())
        PostMessageW(form, WM_CLOSE, 0, 0);
}

} // namespace

void KorvexWindow::command(const std::function<void(const Controls &)> &during)
{
    bool ran = false;
    host.post([&] {
        ran = true;
        const HWND form = korvexWindow();
        ASSERT_NE(form, nullptr) << "no Korvex window in the showing";
        EXPECT_TRUE(IsWindowVisible(form));
        during(Controls(form));
        if (HasFatalFailure())
            endShowing();
    });
    const UINT_PTR watchdog =
        SetTimer(nullptr, 0, ShowingLimitMs, [](HWND, UINT, UINT_PTR, DWORD) CALLBACK {
            ADD_FAILURE() << "the showing was still open after " << ShowingLimitMs << " ms";
            endShowing();
        });
    library.OnCommand(host.view());
    KillTimer(nullptr, watchdog);
    EXPECT_TRUE(ran) << "the command returned without a showing";
    host.discardPosted();
}

void KorvexWindow::whenNoBox(std::function<void()> action)
{
    host.post([this, action] {
        bool boxOpen = false;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM open) CALLBACK -> BOOL {
                wchar_t name[16] = {};
                GetClassNameW(window, name, 16);
                if (std::wstring(name) == L"#32770" && IsWindowVisible(window))
                    *reinterpret_cast<bool *>(open) = true;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&boxOpen));
        if (boxOpen)
            whenNoBox(action);
        else
            action();
    });
}

void KorvexWindow::choose(const Controls &controls, const std::string &name)
{
    const LRESULT index =
        SendMessageA(controls.scripts, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(name.c_str()));
    ASSERT_NE(index, CB_ERR) << name;
    SendMessageA(controls.scripts, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    // What the list tells its parent when the user picks an item.
    SendMessageW(GetParent(controls.scripts), WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(controls.scripts), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(controls.scripts));
}
