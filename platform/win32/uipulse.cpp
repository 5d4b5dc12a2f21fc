#include "platform/uipulse.h"

#include <windows.h>

#include <vector>

// The pulse on Windows, as found under Wine (docs/stopping-a-script.md): Windows has no signal
// to aim at a thread, so a timer of the system's thread pool calls the beat on a pool thread.
// Waking the busy thread out of a blocking call is then the beat's part: the calls it blocks
// in belong to whatever keeps it busy (the Ruby runtime's wait on an event of its own), and
// only that can interrupt them.

namespace platform {

namespace {

void CALLBACK onTimer(PTP_CALLBACK_INSTANCE, void *beat, PTP_TIMER)
{
    reinterpret_cast<UiPulse::Beat>(beat)();
}

/// @p ms from now, as SetThreadpoolTimer takes it (negative: relative, in 100 ns units).
FILETIME fromNow(int ms)
{
    ULARGE_INTEGER due = {};
    due.QuadPart = static_cast<ULONGLONG>(-static_cast<LONGLONG>(ms) * 10'000);
    FILETIME time = {};
    time.dwLowDateTime = due.LowPart;
    time.dwHighDateTime = due.HighPart;
    return time;
}

/// User input, or a request to close: what would start something of the host's own.
bool isUserInput(UINT message)
{
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK) ||
           (message >= WM_NCMOUSEHOVER && message <= WM_MOUSELEAVE) ||
           (message >= 0x0240 && message <= 0x0257) || // touch and pointer input
           message == WM_INPUT || message == WM_HOTKEY || message == WM_CLOSE ||
           message == WM_SYSCOMMAND || message == WM_CONTEXTMENU;
}

bool isInside(HWND target, HWND window)
{
    return window && target && (target == window || IsChild(window, target));
}

// A bound on the messages handled in one call, so that a window that never stops asking to be
// painted cannot keep the call from returning.
constexpr int MaximumMessages = 1000;

} // namespace

UiPulse::UiPulse(Beat beat, int firstMs, int intervalMs)
{
    PTP_TIMER timer = CreateThreadpoolTimer(onTimer, reinterpret_cast<void *>(beat), nullptr);
    if (!timer)
        return; // no pulse: the thread just stays busy, as it would without one
    FILETIME due = fromNow(firstMs);
    SetThreadpoolTimer(timer, &due, static_cast<DWORD>(intervalMs), 0);
    m_timer = timer;
}

UiPulse::~UiPulse()
{
    if (!m_timer)
        return;
    const auto timer = static_cast<PTP_TIMER>(m_timer);
    SetThreadpoolTimer(timer, nullptr, 0, 0); // no beat is started from now on
    // Beats not yet started are cancelled; one already running is waited for.
    WaitForThreadpoolTimerCallbacks(timer, TRUE);
    CloseThreadpoolTimer(timer);
}

void UiPulse::serviceEvents(WindowHandle window)
{
    // Messages for the thread itself rather than a window are the host's loop's business: they
    // are put back once the queue has been gone through.
    std::vector<MSG> forTheThread;
    bool quit = false;
    WPARAM quitCode = 0;
    MSG message = {};
    // PeekMessage also answers the messages other threads and processes send meanwhile (a
    // SendMessageTimeout probing whether the editor responds), and hands out WM_PAINT for
    // every window that needs painting once nothing else waits.
    for (int handled = 0;
         handled < MaximumMessages && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++handled) {
        if (message.message == WM_QUIT) {
            quit = true; // stays for the host's loop, which ends after the run
            quitCode = message.wParam;
            break;
        }
        const bool inside = isInside(message.hwnd, window);
        if (isUserInput(message.message) && !inside)
            continue; // dropped: no other command of the host may start now
        if (!message.hwnd && message.message != WM_TIMER) {
            forTheThread.push_back(message);
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    for (const MSG &kept : forTheThread)
        PostThreadMessageW(GetCurrentThreadId(), kept.message, kept.wParam, kept.lParam);
    if (quit)
        PostQuitMessage(static_cast<int>(quitCode));
}

} // namespace platform
