// Stop on Windows: every stoppable script, run over the test host's view, ends within a second
// of Stop (one that rescues the Interrupt within the grace period and a second), leaves the
// document and no child process behind, and the next run works; the editor answers other
// threads while a script keeps it busy, the script's blocking calls keep their results, and
// only the script window gets the user's input.

#include "processes.h"
#include "stoppablescripts.h"
#include "testhost.h"

#include "platform/uipulse.h"
#include "runner/runcontrol.h"
#include "window/rundisplay.h"
#include "window/scriptrun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

/// What the script window's face does while a run shows itself: services the thread's windows
/// and, once the script has written @p linesBefore lines, presses Stop.
class StopPresser : public RunDisplay
{
public:
    StopPresser(HWND window, std::optional<std::size_t> linesBefore)
        : m_window(window), m_linesBefore(linesBefore)
    {}

    void showRunning(double seconds, std::size_t lines) override
    {
        if (!shown.exchange(true) && firstShown)
            firstShown();
        if (seconds > GiveUpSeconds)
            ScriptRun::requestStop(); // a test that failed must not hang
        platform::UiPulse::serviceEvents(m_window);
        if (!pressed && m_linesBefore && lines >= *m_linesBefore) {
            // What the script started, taken while its children still have their parents
            // (Wine starts its desktop, explorer.exe, as a child of the first window's program).
            for (const DWORD process : liveDescendants()) {
                if (!m_before.contains(process))
                    startedByScript.push_back(process);
            }
            pressed = Clock::now();
            ScriptRun::requestStop();
        }
    }

    static constexpr double GiveUpSeconds = 10;
    std::function<void()> firstShown;
    std::atomic<bool> shown{false};
    std::optional<Clock::time_point> pressed;
    std::vector<DWORD> startedByScript;

private:
    HWND m_window;
    std::optional<std::size_t> m_linesBefore;
    std::set<DWORD> m_before = liveDescendants();
};

LineList lines(const std::string &text)
{
    LineList list;
    list.setText(text);
    return list;
}

/// Stands for the script window: Escape pressed in it presses Stop.
LRESULT CALLBACK scriptWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        ScriptRun::requestStop();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND makeScriptWindow(HWND owner)
{
    static const bool registered = [] {
        WNDCLASSEXW kind = {};
        kind.cbSize = sizeof kind;
        kind.lpfnWndProc = scriptWindowProc;
        kind.hInstance = GetModuleHandleW(nullptr);
        kind.lpszClassName = L"KorvexStopTestWindow";
        return RegisterClassExW(&kind) != 0;
    }();
    if (!registered)
        return nullptr;
    return CreateWindowExW(0, L"KorvexStopTestWindow", L"Korvex", WS_POPUP | WS_VISIBLE, 0, 0, 200,
                           100, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
}

/// Counts the keys and clicks a window gets while it lives.
class InputCounter
{
public:
    explicit InputCounter(HWND window)
        : m_window(window), m_previous(reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
                                window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(count))))
    {
        current = this;
    }
    ~InputCounter()
    {
        SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previous));
        current = nullptr;
    }
    InputCounter(const InputCounter &) = delete;
    InputCounter &operator=(const InputCounter &) = delete;

    int inputs = 0;

private:
    static LRESULT CALLBACK count(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if ((message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
            (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST))
            ++current->inputs;
        return CallWindowProcW(current->m_previous, window, message, wParam, lParam);
    }

    static inline InputCounter *current = nullptr;
    HWND m_window;
    WNDPROC m_previous;
};

/// The test host and a window standing for the script window, with an editor in it.
class WindowsRun : public ::testing::Test
{
protected:
    ~WindowsRun() override { DestroyWindow(scriptWindow); }

    ScriptRun::Outcome run(const std::string &script, RunDisplay *display)
    {
        return ScriptRun::run(host.view(), lines(script), "stuck.rb", ScriptSource::Typed, false,
                              display);
    }

    TestHost host;
    HWND scriptWindow = makeScriptWindow(host.frame());
};

class StopOnWindows : public WindowsRun, public ::testing::WithParamInterface<StoppableScript>
{
};

} // namespace

TEST_P(StopOnWindows, EndsTheScriptLeavingTheDocumentAndNoChildAndTheNextRunWorks)
{
    const StoppableScript &row = GetParam();
    host.document = "one\ntwo\n";
    StopPresser user(scriptWindow, row.linesBefore);
    const auto outcome = run("$ensured = false\nbegin\n" + std::string(row.source) +
                                 "\nensure\n$ensured = true\nend",
                             &user);
    const Clock::time_point ended = Clock::now();

    ASSERT_TRUE(user.pressed) << "the run never showed itself";
    const auto stopMs = std::chrono::duration_cast<milliseconds>(ended - *user.pressed);
    std::printf("[ stopped  ] %s in %lld ms\n", row.name, static_cast<long long>(stopMs.count()));
    const milliseconds limit =
        milliseconds(1000) + (row.rescuesStop ? RunControl::gracePeriod() : milliseconds(0));
    EXPECT_LT(stopMs, limit);
    EXPECT_EQ(outcome, ScriptRun::Outcome::Stopped);
    EXPECT_EQ(host.document, "one\ntwo\n");
    for (const DWORD process : user.startedByScript)
        EXPECT_FALSE(stillRuns(process)) << "process " << process << " of the script still runs";

    EXPECT_EQ(run("print $ensured, \"\\n\"\nARGV.each { |l| puts l.upcase }", nullptr),
              ScriptRun::Outcome::Done);
    EXPECT_EQ(host.document, "true\r\nONE\r\nTWO\r\n");
}

INSTANTIATE_TEST_SUITE_P(Stoppable, StopOnWindows, ::testing::ValuesIn(StoppableScripts),
                         [](const ::testing::TestParamInfo<StoppableScript> &info) {
                             return std::string(info.param.name);
                         });

TEST_F(WindowsRun, OtherThreadsAreAnsweredAndBlockingCallsKeepTheirResultsWhileAScriptRuns)
{
    // From another thread, as Windows asks a window whether its program responds, from when
    // the run shows itself (the first run of the process starts the runtime before).
    StopPresser user(scriptWindow, std::nullopt);
    std::atomic<bool> done{false};
    std::atomic<bool> proberDone{false};
    std::atomic<int> unanswered{0};
    std::atomic<long long> slowestMs{0};
    std::thread prober([&] {
        while (!user.shown && !done)
            std::this_thread::sleep_for(milliseconds(10));
        while (!done) {
            const Clock::time_point asked = Clock::now();
            DWORD_PTR result = 0;
            if (!SendMessageTimeoutW(host.frame(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result))
                ++unanswered;
            const long long ms =
                std::chrono::duration_cast<milliseconds>(Clock::now() - asked).count();
            slowestMs = std::max(slowestMs.load(), ms);
            std::this_thread::sleep_for(milliseconds(100));
        }
        proberDone = true;
    });
    host.document = "x\n";
    // The editor is busy with the script, in Ruby code and in blocking calls, which the beats
    // that service it must not cut short.
    const auto outcome =
        run("child = ->(code) { [RbConfig.ruby, '--disable-gems', '-e', code] }\n"
            "r, w = IO.pipe\nThread.new { sleep 1; w.write 'late'; w.close }\np r.read\n"
            "p system(*child['sleep 1'])\np sleep(1)\n"
            "t = Time.now\np IO.select([IO.pipe[0]], nil, nil, 1), Time.now - t >= 1\n"
            "p IO.popen(child['sleep 1; print :x'], &:read)\n"
            "Process.wait(spawn(*child['sleep 1; exit 3']))\np $?.exitstatus\n"
            "t = Time.now\nnil while Time.now - t < 1",
            &user);
    done = true;
    // A question asked as the run ended is answered here.
    while (!proberDone) {
        MSG message = {};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        std::this_thread::sleep_for(milliseconds(5));
    }
    prober.join();

    EXPECT_EQ(outcome, ScriptRun::Outcome::Done);
    EXPECT_EQ(host.document, "\"late\"\r\ntrue\r\n1\r\nnil\r\ntrue\r\n\"x\"\r\n3\r\n");
    EXPECT_EQ(unanswered, 0);
    EXPECT_LT(slowestMs, 1000);
}

TEST_F(WindowsRun, EscapeInTheScriptWindowStopsWhileInputForTheEditorIsDropped)
{
    host.document = "keep";
    const InputCounter viewInput(host.view());
    StopPresser user(scriptWindow, std::nullopt);
    user.firstShown = [&] {
        // What a user might do to the editor meanwhile, then Escape in the script window.
        PostMessageW(host.frame(), WM_CLOSE, 0, 0);
        PostMessageW(host.view(), WM_KEYDOWN, 'A', 0);
        PostMessageW(host.view(), WM_LBUTTONDOWN, 0, 0);
        PostMessageW(scriptWindow, WM_KEYDOWN, VK_ESCAPE, 0);
    };
    const Clock::time_point started = Clock::now();
    EXPECT_EQ(run("loop {}", &user), ScriptRun::Outcome::Stopped);
    EXPECT_LT(Clock::now() - started, std::chrono::seconds(3)) << "Escape did not stop the run";
    EXPECT_TRUE(IsWindow(host.frame())) << "the editor was closed";
    EXPECT_EQ(viewInput.inputs, 0);
    EXPECT_EQ(host.document, "keep");
}
