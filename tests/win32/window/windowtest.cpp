// The Korvex window on Windows, driven through Korvex.dll's entry points over the test host.

#include "windowfixture.h"

#include "platform/textcoding.h"

#include <algorithm>
#include <ostream>
#include <vector>

using Message = TestHost::Message;

// For the messages of failed checks (found by argument-dependent look-up, so global).
bool operator==(const POINT &a, const POINT &b)
{
    return a.x == b.x && a.y == b.y;
}

std::ostream &operator<<(std::ostream &out, const POINT &p)
{
    return out << '(' << p.x << ", " << p.y << ')';
}

std::ostream &operator<<(std::ostream &out, const RECT &r)
{
    return out << '(' << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ')';
}

namespace {

POINT topLeft(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return {rect.left, rect.top};
}

SIZE outerSize(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

// Where a window of @p size goes over @p view: centred, never at negative coordinates.
POINT centredOver(const RECT &view, SIZE size)
{
    const int x = (view.left + view.right) / 2;
    const int y = (view.top + view.bottom) / 2;
    return {std::max<LONG>(0, x - size.cx / 2), std::max<LONG>(0, y - size.cy / 2)};
}

bool inside(const RECT &inner, const RECT &outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

std::vector<UINT> systemMenuCommands(HWND window)
{
    std::vector<UINT> commands;
    const HMENU menu = GetSystemMenu(window, FALSE);
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        const UINT id = GetMenuItemID(menu, i);
        if (id != 0) // separators
            commands.push_back(id);
    }
    return commands;
}

HWND makeTopLevel(bool visible)
{
    const HWND window = CreateWindowExW(0, L"STATIC", L"another window", WS_OVERLAPPEDWINDOW, 0, 0,
                                        200, 100, nullptr, nullptr, nullptr, nullptr);
    if (visible)
        ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

// Whether the font selected for @p window draws every character of @p text.
bool drawsAll(HWND window, const std::wstring &text)
{
    const HDC dc = GetDC(window);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
    std::vector<WORD> glyphs(text.size());
    GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs.data(),
                     GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return std::find(glyphs.begin(), glyphs.end(), WORD(0xFFFF)) == glyphs.end();
}

// The height of a line of @p window's font.
int lineHeight(HWND window)
{
    const HDC dc = GetDC(window);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return metrics.tmHeight;
}

bool japaneseFontInstalled()
{
    LOGFONTW query = {};
    query.lfCharSet = SHIFTJIS_CHARSET;
    bool found = false;
    const HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(
        screen, &query,
        [](const LOGFONTW *, const TEXTMETRICW *, DWORD, LPARAM found) CALLBACK -> int {
            *reinterpret_cast<bool *>(found) = true;
            return 0;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

} // namespace

TEST_F(KorvexWindow, RegistersThenShowsItsWindowModallyOverTheView)
{
    library.OnEvents(host.view(), EVT_SET_COMMAND_ID | EVT_REFRESH, 77);
    EXPECT_EQ(host.messages, (std::vector<Message>{{MSG_UPDATE_COMMAND, 77}}));

    host.document = "keep";
    const HWND other = makeTopLevel(true);
    const HWND hidden = makeTopLevel(false);
    const HWND closedMeanwhile = makeTopLevel(true);
    SetActiveWindow(host.frame());
    RECT view = {};
    GetWindowRect(host.view(), &view);

    HWND shown = nullptr;
    command([&](const Controls &c) {
        shown = c.form;
        EXPECT_EQ(textOf(c.form), "Korvex");
        EXPECT_TRUE(GetWindowLongPtrW(c.form, GWL_EXSTYLE) & WS_EX_TOPMOST);
        const LONG_PTR style = GetWindowLongPtrW(c.form, GWL_STYLE);
        EXPECT_TRUE(style & WS_THICKFRAME) << "resizable";
        EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
        const std::vector<UINT> menu = systemMenuCommands(c.form);
        for (UINT command : {SC_MOVE, SC_SIZE, SC_CLOSE})
            EXPECT_NE(std::find(menu.begin(), menu.end(), command), menu.end()) << command;
        for (UINT command : {SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE})
            EXPECT_EQ(std::find(menu.begin(), menu.end(), command), menu.end()) << command;
        const SIZE size = outerSize(c.form);
        EXPECT_EQ(size.cx, scaled(409));
        EXPECT_EQ(size.cy, scaled(291));
        EXPECT_EQ(topLeft(c.form), centredOver(view, size)) << "the first showing is centred";

        EXPECT_EQ(GetActiveWindow(), c.form);
        EXPECT_EQ(GetFocus(), c.memo);
        EXPECT_EQ(SendMessageW(c.selectArea, BM_GETCHECK, 0, 0), BST_UNCHECKED);
        EXPECT_EQ(GetFileAttributesA(scriptsFolder().c_str()) & FILE_ATTRIBUTE_DIRECTORY,
                  DWORD(FILE_ATTRIBUTE_DIRECTORY))
            << "the scripts folder is made";
        EXPECT_FALSE(IsWindowEnabled(host.frame()));
        EXPECT_FALSE(IsWindowEnabled(other));
        EXPECT_FALSE(IsWindowEnabled(closedMeanwhile));
        EXPECT_TRUE(IsWindowEnabled(hidden)) << "only visible windows are disabled";
        DestroyWindow(closedMeanwhile);
        press(c, L"キャンセル");
    });

    EXPECT_TRUE(IsWindow(shown)) << "closing only hides the window";
    EXPECT_FALSE(IsWindowVisible(shown));
    EXPECT_TRUE(IsWindowEnabled(host.frame()));
    EXPECT_TRUE(IsWindowEnabled(other));
    EXPECT_EQ(GetActiveWindow(), host.frame());
    EXPECT_EQ(host.document, "keep");
    EXPECT_EQ(host.messages.back(), (Message{MSG_GET_SEL_TYPE, 0}));
    EXPECT_TRUE(answerer.boxes.empty());
    DestroyWindow(other);
    DestroyWindow(hidden);
}

TEST_F(KorvexWindow, LaysOutItsControlsAndKeepsThemWholeAtTheSmallestSize)
{
    command([&](const Controls &c) {
        EXPECT_EQ(SendMessageW(c.coolBar, RB_GETROWCOUNT, 0, 0), 2);
        for (int band = 0; band < 2; ++band) {
            RECT rect = {};
            SendMessageW(c.coolBar, RB_GETRECT, static_cast<WPARAM>(band),
                         reinterpret_cast<LPARAM>(&rect));
            EXPECT_EQ(rect.bottom - rect.top, scaled(22)) << "band " << band;
        }
        wchar_t bandText[32] = {};
        REBARBANDINFOW band = {};
        band.cbSize = REBARBANDINFOW_V6_SIZE;
        band.fMask = RBBIM_TEXT;
        band.lpText = bandText;
        band.cch = 32;
        SendMessageW(c.coolBar, RB_GETBANDINFOW, 1, reinterpret_cast<LPARAM>(&band));
        EXPECT_EQ(std::wstring(bandText), L"スクリプト:");

        struct Item
        {
            const char *name;
            std::wstring caption; // empty: a separator
            int width;
        };
        const std::vector<Item> bar1 = {{"SpeedButton1", L"実行", 81},
                                        {"ToolButton1", L"", 8},
                                        {"SpeedButton2", L"キャンセル", 81},
                                        {"ToolButton2", L"", 8},
                                        {"chkSelectArea's room", L"", 103}};
        const std::vector<Item> bar2 = {
            {"cboScripts' room", L"", 201}, {"ToolButton3", L"", 8}, {"SpeedButton3", L"更新", 81}};
        for (const auto &[toolBar, expected] :
             {std::pair{c.toolBar1, bar1}, std::pair{c.toolBar2, bar2}}) {
            const std::vector<ToolItem> items = toolItems(toolBar);
            ASSERT_EQ(items.size(), expected.size());
            for (std::size_t i = 0; i < items.size(); ++i) {
                const ToolItem &item = items[i];
                EXPECT_EQ(item.caption, expected[i].caption) << expected[i].name;
                EXPECT_EQ(item.separator, expected[i].caption.empty()) << expected[i].name;
                EXPECT_EQ(item.rect.right - item.rect.left, scaled(expected[i].width))
                    << expected[i].name;
                if (!item.separator) {
                    EXPECT_EQ(item.rect.bottom - item.rect.top, scaled(20)) << expected[i].name;
                }
            }
        }

        const RECT check = rectIn(c.selectArea, c.toolBar1);
        EXPECT_EQ(check.right - check.left, scaled(103));
        EXPECT_EQ(check.bottom - check.top, scaled(20));
        EXPECT_EQ(wideTextOf(c.selectArea), L"選択範囲のみ");
        EXPECT_EQ(GetWindowLongPtrW(c.selectArea, GWL_STYLE) & BS_TYPEMASK, BS_AUTOCHECKBOX);
        const RECT list = rectIn(c.scripts, c.toolBar2);
        EXPECT_EQ(list.right - list.left, scaled(201));
        EXPECT_EQ(GetWindowLongPtrW(c.scripts, GWL_STYLE) & (CBS_DROPDOWNLIST | CBS_SORT),
                  CBS_DROPDOWNLIST);
        EXPECT_EQ(SendMessageW(c.scripts, CB_GETITEMHEIGHT, 0, 0), lineHeight(c.scripts))
            << "items one line of the list's font high";

        const LONG_PTR memoStyle = GetWindowLongPtrW(c.memo, GWL_STYLE);
        EXPECT_EQ(memoStyle &
                      (ES_MULTILINE | ES_WANTRETURN | ES_AUTOHSCROLL | WS_HSCROLL | WS_VSCROLL),
                  ES_MULTILINE | ES_WANTRETURN | ES_AUTOHSCROLL)
            << "no word wrap, no scroll bars";
        RECT client = {};
        GetClientRect(c.form, &client);
        const RECT memo = rectIn(c.memo, c.form);
        EXPECT_EQ(memo.top, rectIn(c.coolBar, c.form).bottom) << "right below the bands";
        EXPECT_EQ(memo.left, 0);
        EXPECT_EQ(memo.right, client.right);
        EXPECT_EQ(memo.bottom, client.bottom);

        for (HWND control : {c.memo, c.selectArea, c.scripts, c.toolBar1}) {
            LOGFONTW font = {};
            GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)),
                       sizeof font, &font);
            EXPECT_EQ(font.lfHeight, -scaled(12)) << "12-pixel characters";
        }
        if (japaneseFontInstalled()) {
            EXPECT_TRUE(drawsAll(c.selectArea, L"選択範囲のみ実行キャンセル更新スクリプト:"));
            EXPECT_TRUE(drawsAll(c.memo, L"日本語の文字"));
        }

        // The smallest size the window takes: every control and button still whole.
        const SIZE designed = outerSize(c.form);
        SetWindowPos(c.form, nullptr, 0, 0, 1, 1, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        const SIZE smallest = outerSize(c.form);
        EXPECT_LT(smallest.cx, designed.cx);
        EXPECT_LT(smallest.cy, designed.cy);
        GetClientRect(c.form, &client);
        for (HWND control : {c.coolBar, c.toolBar1, c.toolBar2, c.selectArea, c.scripts, c.memo}) {
            RECT parent = {};
            GetClientRect(GetParent(control), &parent);
            EXPECT_TRUE(inside(rectIn(control, GetParent(control)), parent))
                << rectIn(control, GetParent(control)) << " in " << parent;
            EXPECT_TRUE(inside(rectIn(control, c.form), client))
                << rectIn(control, c.form) << " in " << client;
        }
        for (HWND toolBar : {c.toolBar1, c.toolBar2}) {
            RECT bar = {};
            GetClientRect(toolBar, &bar);
            for (const ToolItem &item : toolItems(toolBar))
                EXPECT_TRUE(inside(item.rect, bar)) << item.rect << " in " << bar;
        }
        RECT memoClient = {};
        GetClientRect(c.memo, &memoClient);
        EXPECT_GE(memoClient.bottom, lineHeight(c.memo)) << "a whole line of the editor";

        SetWindowPos(c.form, nullptr, 0, 0, designed.cx, designed.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        press(c, L"キャンセル");
    });
}

TEST_F(KorvexWindow, EveryShowingIsCentredOpensInTheEditorAndClosesOnEscape)
{
    struct Case
    {
        const char *what;
        POINT frame;           // where the main frame goes (screen)
        RECT view;             // the view in the frame's client area
        HWND Controls::*focus; // the control the user moves to before pressing Escape
    };
    const Case cases[] = {
        {"centred", {40, 30}, {10, 10, 610, 410}, &Controls::memo},
        {"at the top-left corner", {0, 0}, {0, 0, 40, 30}, &Controls::selectArea},
        {"left of the screen", {-500, 300}, {0, 0, 100, 100}, &Controls::scripts},
    };
    host.document = "keep";
    host.select(0, 2);
    for (const Case &c : cases) {
        SetWindowPos(host.frame(), nullptr, c.frame.x, c.frame.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        host.placeView(c.view);
        RECT view = {};
        GetWindowRect(host.view(), &view);
        command([&](const Controls &controls) {
            EXPECT_EQ(topLeft(controls.form), centredOver(view, outerSize(controls.form)))
                << c.what;
            EXPECT_EQ(GetFocus(), controls.memo) << c.what;
            SetFocus(controls.*c.focus);
            postKey(controls.*c.focus, VK_ESCAPE);
        });
        EXPECT_FALSE(IsWindowVisible(korvexWindow())) << c.what;
    }
    EXPECT_EQ(host.document, "keep");
    for (const Message &m : host.messages)
        EXPECT_EQ(m.id, UINT(MSG_GET_SEL_TYPE)) << "Escape runs nothing";
}

TEST_F(KorvexWindow, TheEditorTakesTabAndEnterAndKeepsItsTextForTheNextShowing)
{
    command([&](const Controls &c) {
        type(c.memo, "a");
        postKey(c.memo, VK_TAB);
        postKey(c.memo, VK_RETURN);
        host.post(
            [&, c] {
                EXPECT_EQ(textOf(c.memo), "a\t\r\n");
                EXPECT_EQ(GetFocus(), c.memo);
                EXPECT_TRUE(IsWindowVisible(c.form));
                // Ctrl+A selects the whole script.
                BYTE keys[256] = {};
                GetKeyboardState(keys);
                keys[VK_CONTROL] = 0x80;
                SetKeyboardState(keys);
                postKey(c.memo, 'A');
                host.post(
                    [&, c] {
                        BYTE keys[256] = {};
                        GetKeyboardState(keys);
                        keys[VK_CONTROL] = 0;
                        SetKeyboardState(keys);
                        DWORD start = 1, end = 0;
                        SendMessageW(c.memo, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                                     reinterpret_cast<LPARAM>(&end));
                        EXPECT_EQ(start, 0u);
                        EXPECT_EQ(end, 4u);
                        EXPECT_EQ(textOf(c.memo), "a\t\r\n") << "Ctrl+A typed nothing";
                        // Tab moves on from the check box, where it is not typed.
                        SetFocus(c.selectArea);
                        postKey(c.selectArea, VK_TAB);
                        host.post([c] { EXPECT_EQ(GetFocus(), c.scripts); }, 2);
                        press(c, L"キャンセル");
                    },
                    2);
            },
            3);
    });
    command([&](const Controls &c) {
        EXPECT_EQ(textOf(c.memo), "a\t\r\n");
        PostMessageW(c.form, WM_CLOSE, 0, 0); // the frame's close box
    });
    EXPECT_FALSE(IsWindowVisible(korvexWindow()));
}

TEST_F(KorvexWindow, ListsTheScriptsFolderAndLoadsTheChosenScript)
{
    // Bytes that are text in code page 932 (あ) and in 1252 alike; the file is read up to its
    // first NUL.
    writeScript("a.rb", std::string("puts 1\rputs 2\n\rputs 3\r\n\x82\xa0\0tail", 28));
    writeScript("b.txt", "not listed");
    writeScript("hidden.rb", "");
    SetFileAttributesA((scriptsFolder() + "\\hidden.rb").c_str(), FILE_ATTRIBUTE_HIDDEN);
    writeScript("gone.rb", "puts 'gone'");
    writeScript("locked.rb", "puts 'locked'");
    CreateDirectoryA((scriptsFolder() + "\\lib.rb").c_str(), nullptr);
    const std::string locked = scriptsFolder() + "\\locked.rb";

    command([&](const Controls &c) {
        std::vector<std::string> listed;
        for (int i = 0; i < SendMessageA(c.scripts, CB_GETCOUNT, 0, 0); ++i) {
            char name[MAX_PATH] = {};
            SendMessageA(c.scripts, CB_GETLBTEXT, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(name));
            listed.push_back(name);
        }
        std::sort(listed.begin(), listed.end());
        EXPECT_EQ(listed, (std::vector<std::string>{"a.rb", "gone.rb", "hidden.rb", "lib.rb",
                                                    "locked.rb"}));
        EXPECT_EQ(SendMessageA(c.scripts, CB_GETCURSEL, 0, 0), CB_ERR) << "nothing chosen";

        SetWindowTextA(c.memo, "kept");
        choose(c, "lib.rb");
        DeleteFileA((scriptsFolder() + "\\gone.rb").c_str());
        choose(c, "gone.rb");
        EXPECT_EQ(textOf(c.memo), "kept") << "a folder or a vanished file loads nothing";
        EXPECT_TRUE(answerer.boxes.empty());

        const HANDLE held = CreateFileA(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        choose(c, "locked.rb");
        CloseHandle(held);
        ASSERT_EQ(answerer.boxes.size(), 1u);
        // Texts in the ANSI code page, as the box gets them (Japanese is lost under 1252).
        EXPECT_EQ(answerer.boxes[0].text, platform::systemText("ファイル ") + locked +
                                              platform::systemText(" は開けません."));
        EXPECT_EQ(answerer.boxes[0].caption, "korvexwindowtests");
        EXPECT_EQ(textOf(c.memo), "kept");
        EXPECT_TRUE(IsWindowVisible(c.form)) << "a failure leaves the window open";

        choose(c, "a.rb");
        EXPECT_EQ(textOf(c.memo), "puts 1\r\nputs 2\r\nputs 3\r\n\x82\xa0");

        // Refresh, with the focus in the editor: the buttons never take it.
        writeScript("new.rb", "");
        SetFocus(c.memo);
        press(c, L"更新");
        host.post([c] {
            EXPECT_NE(SendMessageA(c.scripts, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                   reinterpret_cast<LPARAM>("new.rb")),
                      CB_ERR);
            EXPECT_EQ(SendMessageA(c.scripts, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                   reinterpret_cast<LPARAM>("gone.rb")),
                      CB_ERR);
            EXPECT_EQ(SendMessageA(c.scripts, CB_GETCURSEL, 0, 0), CB_ERR);
            EXPECT_EQ(GetFocus(), c.memo);
            press(c, L"キャンセル");
        });
    });
}

TEST_F(KorvexWindow, ReleaseDestroysTheWindowAndTheNextCommandMakesAFreshOne)
{
    HWND first = nullptr;
    command([&](const Controls &c) {
        first = c.form;
        SetWindowTextA(c.memo, "puts 42");
        press(c, L"キャンセル");
    });
    command([&](const Controls &c) {
        EXPECT_EQ(c.form, first);
        EXPECT_EQ(textOf(c.memo), "puts 42");
        // The host invokes the command again from inside the showing: refused in a box.
        library.OnCommand(host.view());
        ASSERT_EQ(answerer.boxes.size(), 1u);
        EXPECT_EQ(
            answerer.boxes[0].text,
            platform::systemText("表示されているウィンドウをモーダルにすることはできません."));
        EXPECT_TRUE(IsWindowVisible(c.form));
        press(c, L"キャンセル");
    });

    library.OnEvents(host.view(), EVT_RELEASE, 0);
    EXPECT_FALSE(IsWindow(first));
    library.OnEvents(host.view(), EVT_RELEASE, 0); // no window: nothing happens

    HWND second = nullptr;
    command([&](const Controls &c) {
        second = c.form;
        EXPECT_EQ(textOf(c.memo), "") << "a fresh window";
        // The release event from inside the showing ends it first.
        library.OnEvents(host.view(), EVT_RELEASE, 0);
    });
    EXPECT_FALSE(IsWindow(second));
    EXPECT_TRUE(IsWindowEnabled(host.frame()));
    EXPECT_EQ(GetActiveWindow(), host.frame());

    // The thread's quit message ends the showing and stays for the host's own loop.
    command([&](const Controls &) { PostQuitMessage(3); });
    EXPECT_FALSE(IsWindowVisible(korvexWindow()));
    EXPECT_TRUE(IsWindowEnabled(host.frame()));
    MSG quit = {};
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 3u);
    EXPECT_EQ(answerer.boxes.size(), 1u);
}

TEST_F(KorvexWindow, AMainFrameInsideAnotherWindowMakesItAChildOfThatWindow)
{
    const HWND outer = CreateWindowExW(0, L"STATIC", L"outer", WS_OVERLAPPEDWINDOW, 0, 0, 900, 700,
                                       nullptr, nullptr, nullptr, nullptr);
    ShowWindow(outer, SW_SHOW);
    SetWindowLongPtrW(host.frame(), GWL_STYLE,
                      (GetWindowLongPtrW(host.frame(), GWL_STYLE) & ~WS_POPUP) | WS_CHILD);
    SetParent(host.frame(), outer);
    RECT view = {};
    GetWindowRect(host.view(), &view);
    command([&](const Controls &c) {
        EXPECT_EQ(GetParent(c.form), outer);
        EXPECT_TRUE(GetWindowLongPtrW(c.form, GWL_STYLE) & WS_CHILD);
        EXPECT_EQ(topLeft(c.form), centredOver(view, outerSize(c.form)));
        EXPECT_TRUE(IsWindowEnabled(outer)) << "the window's own top-level window stays usable";
        EXPECT_EQ(GetFocus(), c.memo);
        postKey(c.memo, VK_ESCAPE);
    });
    EXPECT_FALSE(IsWindowVisible(korvexWindow()));
    library.OnEvents(host.view(), EVT_RELEASE, 0);
    SetParent(host.frame(), nullptr);
    DestroyWindow(outer);
}
