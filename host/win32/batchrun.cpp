#include "batchrun.h"

#include "host/linebreaks.h"
#include "host/timelimit.h"
#include "platform/win32/windowobject.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {

constexpr wchar_t DriverClass[] = L"PlintharBatchRun";
constexpr UINT_PTR PollTimer = 1;
constexpr UINT_PTR StopTimer = 2;
constexpr UINT CheckClosed = WM_APP + 1;
constexpr wchar_t RunCaption[] = L"実行";
constexpr wchar_t StopCaption[] = L"停止";

std::wstring className(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, int(std::size(name)));
    return name;
}

std::wstring wideTextOf(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring text(std::size_t(std::max(length, 0)) + 1, L'\0');
    text.resize(std::size_t(std::max(GetWindowTextW(window, text.data(), length + 1), 0)));
    return text;
}

std::string textOf(HWND window)
{
    const int length = GetWindowTextLengthA(window);
    std::string text(std::size_t(std::max(length, 0)) + 1, '\0');
    text.resize(std::size_t(std::max(GetWindowTextA(window, text.data(), length + 1), 0)));
    return text;
}

struct Search
{
    const wchar_t *className;
    bool visibleOnly;
    HWND found = nullptr;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM search)
{
    auto *s = reinterpret_cast<Search *>(search);
    if (className(window) == s->className && (!s->visibleOnly || IsWindowVisible(window))) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

/// The first window of class @p name of this thread: a top-level window or a child of one.
HWND findThreadWindow(const wchar_t *name, bool visibleOnly)
{
    Search search{name, visibleOnly};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM s) CALLBACK -> BOOL {
            if (matchWindow(window, s))
                EnumChildWindows(window, matchWindow, s);
            return reinterpret_cast<Search *>(s)->found == nullptr;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

/// Clicks the toolbar button captioned @p caption among @p form's toolbars, returning when the
/// click has been handled (a run it starts has ended); false when there is no such button.
bool pressButton(HWND form, const wchar_t *caption)
{
    for (HWND bar = FindWindowExW(form, nullptr, REBARCLASSNAMEW, nullptr); bar;
         bar = FindWindowExW(form, bar, REBARCLASSNAMEW, nullptr)) {
        const auto bands = int(SendMessageW(bar, RB_GETBANDCOUNT, 0, 0));
        for (int band = 0; band < bands; ++band) {
            REBARBANDINFOW info = {};
            info.cbSize = REBARBANDINFOW_V6_SIZE;
            info.fMask = RBBIM_CHILD;
            SendMessageW(bar, RB_GETBANDINFOW, WPARAM(band), reinterpret_cast<LPARAM>(&info));
            const HWND tools = info.hwndChild;
            const auto count = int(SendMessageW(tools, TB_BUTTONCOUNT, 0, 0));
            for (int i = 0; i < count; ++i) {
                TBBUTTON button = {};
                SendMessageW(tools, TB_GETBUTTON, WPARAM(i), reinterpret_cast<LPARAM>(&button));
                wchar_t text[64] = {};
                if (button.fsStyle & BTNS_SEP ||
                    SendMessageW(tools, TB_GETBUTTONTEXTW, WPARAM(button.idCommand),
                                 reinterpret_cast<LPARAM>(text)) <= 0 ||
                    std::wstring(text) != caption)
                    continue;
                RECT rect = {};
                SendMessageW(tools, TB_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&rect));
                const LPARAM at =
                    MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
                // Sent, not posted: the window handles the thread's messages during a long
                // run, and whatever is posted behind the click would be handled in the middle
                // of the run.
                SendMessageW(tools, WM_LBUTTONDOWN, MK_LBUTTON, at);
                SendMessageW(tools, WM_LBUTTONUP, 0, at);
                return true;
            }
        }
    }
    return false;
}

/// The push button of @p form captioned @p caption that can be pressed now: shown and enabled.
HWND pressableButton(HWND form, const wchar_t *caption)
{
    struct Wanted
    {
        const wchar_t *caption;
        HWND found = nullptr;
    } wanted{caption};
    EnumChildWindows(
        form,
        [](HWND window, LPARAM w) CALLBACK -> BOOL {
            auto *s = reinterpret_cast<Wanted *>(w);
            if (className(window) == L"Button" && wideTextOf(window) == s->caption &&
                IsWindowVisible(window) && IsWindowEnabled(window)) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&wanted));
    return wanted.found;
}

/// The child of @p form's toolbars of class @p name.
HWND findInToolbars(HWND form, const wchar_t *name)
{
    Search search{name, false};
    EnumChildWindows(form, matchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace

BatchRun::BatchRun(std::string scriptName, std::optional<std::string> scriptText, TimeLimit *limit)
    : m_scriptName(std::move(scriptName)), m_scriptText(std::move(scriptText)), m_limit(limit)
{
    static const bool registered = [] {
        WNDCLASSEXW driver = {};
        driver.cbSize = sizeof driver;
        driver.lpfnWndProc = &BatchRun::windowProc;
        driver.hInstance = GetModuleHandleW(nullptr);
        driver.lpszClassName = DriverClass;
        return RegisterClassExW(&driver) != 0;
    }();
    if (!registered || !CreateWindowExW(0, DriverClass, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE,
                                        nullptr, GetModuleHandleW(nullptr), this))
        throw std::runtime_error("The batch run's window could not be created.");
}

BatchRun::~BatchRun()
{
    SetWindowLongPtrW(m_driver, GWLP_USERDATA, 0);
    DestroyWindow(m_driver);
}

LRESULT CALLBACK BatchRun::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto *self = platform::windowObject(window, message, lParam, &BatchRun::m_driver);
    if (self && message == WM_TIMER && wParam == PollTimer) {
        self->poll();
        return 0;
    }
    if (self && message == WM_TIMER && wParam == StopTimer) {
        self->stopDue();
        return 0;
    }
    if (self && message == CheckClosed) {
        self->checkClosed();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

BatchRun::Result BatchRun::run(const std::function<void()> &invoke)
{
    // The window is shown modally from inside invoke(): the timer drives it from that loop.
    SetTimer(m_driver, PollTimer, 10, nullptr);
    if (m_limit)
        SetTimer(m_driver, StopTimer, UINT(m_limit->firstMs()), nullptr);
    invoke();
    KillTimer(m_driver, PollTimer);
    KillTimer(m_driver, StopTimer);
    answerBoxes();
    if (m_failure)
        return *m_failure;
    if (!m_errorText.empty())
        return {1, m_errorText};
    if (!m_pressedRun)
        return {1, "The script window did not open."};
    return {};
}

void BatchRun::poll()
{
    answerBoxes();
    if (m_form)
        return;
    const HWND form = findThreadWindow(L"TfrmKorvex", true);
    if (form) {
        m_form = form;
        drive(form);
    }
}

bool BatchRun::answerBoxes()
{
    struct Boxes
    {
        std::vector<HWND> open;
    } boxes;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) CALLBACK -> BOOL {
            if (className(window) == L"#32770" && IsWindowVisible(window))
                reinterpret_cast<Boxes *>(found)->open.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&boxes));
    for (HWND box : boxes.open) {
        if (std::find(m_answered.begin(), m_answered.end(), box) != m_answered.end())
            continue; // answered; it goes when its loop reads the answer
        m_answered.push_back(box);
        if (GetDlgItem(box, IDNO)) {
            // A question (an uninstall's confirmation): nobody says yes in batch mode.
            PostMessageW(box, WM_COMMAND, IDNO, 0);
            continue;
        }
        // A box's text is its static control 0xFFFF (the message box's own template).
        if (!m_errorText.empty())
            m_errorText += '\n';
        m_errorText += textOf(GetDlgItem(box, 0xFFFF));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    return !boxes.open.empty();
}

void BatchRun::fail(int exitCode, const std::string &message)
{
    if (!m_failure)
        m_failure = Result{exitCode, message};
    if (m_form && IsWindow(m_form))
        PostMessageW(m_form, WM_CLOSE, 0, 0);
}

void BatchRun::drive(HWND form)
{
    const HWND memo = FindWindowExW(form, nullptr, L"Edit", nullptr);
    const HWND scripts = findInToolbars(form, L"ComboBox");
    if (!memo || !scripts) {
        fail(1, "The script window lacks its script editor or its scripts list.");
        return;
    }
    if (m_scriptText) {
        // The editor control keeps its lines apart with CR LF.
        std::string text;
        LineBreaks::convert(*m_scriptText, LineEnding::CrLf, std::size_t(1) << 20,
                            [&text](std::string_view piece) { text += piece; });
        SetWindowTextA(memo, text.c_str());
    } else {
        const LRESULT index = SendMessageA(scripts, CB_FINDSTRINGEXACT, WPARAM(-1),
                                           reinterpret_cast<LPARAM>(m_scriptName.c_str()));
        if (index == CB_ERR) {
            fail(2, "The script \"" + m_scriptName + "\" is not in the scripts list.");
            return;
        }
        SendMessageA(scripts, CB_SETCURSEL, WPARAM(index), 0);
        // What the list tells its parent when the user picks an item.
        SendMessageW(GetParent(scripts), WM_COMMAND,
                     MAKEWPARAM(GetDlgCtrlID(scripts), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(scripts));
        answerBoxes();
        if (!m_errorText.empty()) {
            fail(1, m_errorText);
            return;
        }
    }
    if (!pressButton(form, RunCaption)) {
        fail(1, "The script window has no Run button.");
        return;
    }
    m_pressedRun = true;
    // The run has ended: one that failed reported in a box and left the window open.
    PostMessageW(m_driver, CheckClosed, 0, 0);
}

void BatchRun::checkClosed()
{
    if (answerBoxes()) {
        // The run is still showing a box: its outcome is known once the box has gone.
        PostMessageW(m_driver, CheckClosed, 0, 0);
        return;
    }
    if (m_form && IsWindow(m_form) && IsWindowVisible(m_form))
        fail(1, m_errorText.empty() ? "The script window stayed open after Run." : m_errorText);
    else if (!m_errorText.empty())
        fail(1, m_errorText);
}

void BatchRun::stopDue()
{
    KillTimer(m_driver, StopTimer);
    const std::optional<int> next = m_limit->due([] {
        const HWND form = findThreadWindow(L"TfrmKorvex", true);
        const HWND stop = form ? pressableButton(form, StopCaption) : nullptr;
        if (!stop)
            return false;
        // What the button tells its parent when the user clicks it.
        SendMessageW(GetParent(stop), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(stop), BN_CLICKED),
                     reinterpret_cast<LPARAM>(stop));
        return true;
    });
    if (next)
        SetTimer(m_driver, StopTimer, UINT(*next), nullptr);
}
