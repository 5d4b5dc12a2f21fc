// Stop in plinthar.exe's frame, as a user stops a script: the running bar's Stop, Escape,
// Cancel or the script window's close box, for each way a script can be stuck; and the editor
// answering other programs while a script keeps it busy.

#include "plintharfixture.h"
#include "processes.h"
#include "stoppablescripts.h"
#include "windowfixture.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr char Document[] = "one\ntwo\n";
// How long the plug-in lets a script that rescues the first Stop go on before it forces it.
constexpr milliseconds GracePeriod{500};
constexpr wchar_t StoppedNote[] = L"スクリプトを停止しました";

/// The ways a user stops a running script.
enum class Gesture { StopButton, Escape, Cancel, CloseBox };

const char *nameOf(Gesture gesture)
{
    switch (gesture) {
    case Gesture::StopButton:
        return "Stop";
    case Gesture::Escape:
        return "Escape";
    case Gesture::Cancel:
        return "Cancel";
    case Gesture::CloseBox:
        return "the close box";
    }
    return "";
}

/**
 * A user at the script window, acting from a timer of the thread (whose ticks the window's
 * pulse lets through during a run): types the script, presses Run, stops the run with
 * @p gesture once it shows the lines the script must write first, then runs @p next.
 */
class User
{
public:
    User(MainFrame &frame, std::string script, std::size_t linesBefore, Gesture gesture,
         std::string next)
        : m_frame(frame), m_script(std::move(script)), m_linesBefore(linesBefore),
          m_gesture(gesture), m_next(std::move(next))
    {
        current = this;
        m_timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) CALLBACK {
            if (current)
                current->tick();
        });
    }
    ~User()
    {
        KillTimer(nullptr, m_timer);
        current = nullptr;
    }
    User(const User &) = delete;
    User &operator=(const User &) = delete;

    std::optional<Clock::time_point> pressed;
    std::optional<Clock::time_point> stopped; // when the window said the run was stopped
    std::string documentWhenStopped;
    bool windowShownWhenStopped = false;
    std::vector<DWORD> startedByScript;

private:
    enum class Step { Start, Running, Stopping, Next, Done };

    void tick()
    {
        const HWND form = FindWindowW(L"TfrmKorvex", nullptr);
        if (!form || !IsWindowVisible(form))
            return;
        const Controls controls(form);
        const HWND stop = FindWindowExW(form, nullptr, L"Button", L"停止");
        const HWND runText = FindWindowExW(form, nullptr, L"Static", nullptr);
        if (Clock::now() - m_started > std::chrono::seconds(20)) {
            // A test that failed must not hang: stop the run, then close the window.
            PostMessageW(form, WM_CLOSE, 0, 0);
            return;
        }
        switch (m_step) {
        case Step::Start:
            m_before = liveDescendants();
            SetWindowTextA(controls.memo, m_script.c_str());
            press(controls, L"実行");
            m_step = Step::Running;
            break;
        case Step::Running:
            if (!IsWindowVisible(stop) || !IsWindowEnabled(stop) ||
                linesShown(runText) < m_linesBefore)
                break;
            for (const DWORD process : liveDescendants()) {
                if (!m_before.contains(process))
                    startedByScript.push_back(process);
            }
            pressed = Clock::now();
            act(controls, stop);
            m_step = Step::Stopping;
            break;
        case Step::Stopping:
            if (IsWindowVisible(stop) || wideTextOf(runText) != StoppedNote)
                break;
            stopped = Clock::now();
            documentWhenStopped = m_frame.view().bytes();
            windowShownWhenStopped = IsWindowVisible(form) != FALSE;
            SetWindowTextA(controls.memo, m_next.c_str());
            press(controls, L"実行");
            m_step = Step::Next;
            break;
        case Step::Next:
        case Step::Done:
            break;
        }
    }

    void act(const Controls &controls, HWND stop) const
    {
        switch (m_gesture) {
        case Gesture::StopButton:
            SendMessageW(stop, BM_CLICK, 0, 0);
            break;
        case Gesture::Escape:
            postKey(controls.memo, VK_ESCAPE);
            break;
        case Gesture::Cancel:
            press(controls, L"キャンセル");
            break;
        case Gesture::CloseBox:
            PostMessageW(controls.form, WM_CLOSE, 0, 0);
            break;
        }
    }

    /// The lines of output the running bar says the script wrote.
    static std::size_t linesShown(HWND runText)
    {
        const std::wstring text = wideTextOf(runText);
        const std::size_t at = text.find(L"出力 ");
        return at == std::wstring::npos ? 0 : std::wcstoul(text.c_str() + at + 3, nullptr, 10);
    }

    static inline User *current = nullptr;
    MainFrame &m_frame;
    std::string m_script;
    std::size_t m_linesBefore;
    Gesture m_gesture;
    std::string m_next;
    UINT_PTR m_timer = 0;
    Step m_step = Step::Start;
    Clock::time_point m_started = Clock::now();
    std::set<DWORD> m_before;
};

class StoppedInTheFrame : public PlintharFrame,
                          public ::testing::WithParamInterface<StoppableScript>
{
};

} // namespace

TEST_P(StoppedInTheFrame, TheScriptEndsTheDocumentStaysAndTheWindowSaysSo)
{
    ASSERT_EQ(frame->plugins().size(), 1u);
    const StoppableScript &row = GetParam();
    // Each row is stopped another way, so that every way is taken over the table.
    const auto index =
        std::size_t(std::find_if(std::begin(StoppableScripts), std::end(StoppableScripts),
                                 [&row](const StoppableScript &s) {
                                     return std::string_view(s.name) == row.name;
                                 }) -
                    std::begin(StoppableScripts));
    const Gesture gesture = static_cast<Gesture>(index % 4);
    ASSERT_EQ(openDocument(Document), std::nullopt);
    User user(*frame,
              "$ensured = false\r\nbegin\r\n" + std::string(row.source) +
                  "\r\nensure\r\n$ensured = true\r\nend",
              row.linesBefore, gesture,
              "print $ensured, \"\\n\"\r\nARGV.each { |l| puts l.upcase }");
    frame->runCommand(0);

    ASSERT_TRUE(user.pressed) << "the run never showed Stop";
    ASSERT_TRUE(user.stopped) << nameOf(gesture) << " did not stop the script";
    const auto stopMs = std::chrono::duration_cast<milliseconds>(*user.stopped - *user.pressed);
    std::printf("[ stopped  ] %s by %s in %lld ms\n", row.name, nameOf(gesture),
                static_cast<long long>(stopMs.count()));
    EXPECT_LT(stopMs, milliseconds(1000) + (row.rescuesStop ? GracePeriod : milliseconds(0)));
    EXPECT_TRUE(user.windowShownWhenStopped);
    EXPECT_EQ(user.documentWhenStopped, Document);
    for (const DWORD process : user.startedByScript)
        EXPECT_FALSE(stillRuns(process)) << "process " << process << " of the script still runs";
    EXPECT_EQ(frame->view().bytes(), "true\nONE\nTWO\n") << "the next run";
    EXPECT_FALSE(IsWindowVisible(FindWindowW(L"TfrmKorvex", nullptr)));
}

INSTANTIATE_TEST_SUITE_P(Stoppable, StoppedInTheFrame, ::testing::ValuesIn(StoppableScripts),
                         [](const ::testing::TestParamInfo<StoppableScript> &info) {
                             return std::string(info.param.name);
                         });

TEST_F(PlintharFrame, AnswersOtherProgramsWhileAScriptKeepsItBusy)
{
    ASSERT_EQ(frame->plugins().size(), 1u);
    // The runtime starts with the first run, once per editor, and it is not a script.
    ASSERT_EQ(run(Document, 0, 0, "puts 1").exitCode, 0);
    ASSERT_EQ(openDocument(Document), std::nullopt);
    // Another program asks the frame whether it responds, as Windows does before it marks a
    // program "Not Responding", every 100 ms for as long as the script runs.
    const std::wstring pinger = programFolder() + L"\\respondingcheck.exe";
    std::wstring commandLine = L"\"" + pinger + L"\" " +
                               std::to_wstring(reinterpret_cast<std::uintptr_t>(frame->handle())) +
                               L" 5";
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    HANDLE reading = nullptr;
    HANDLE writing = nullptr;
    ASSERT_TRUE(CreatePipe(&reading, &writing, &inherited, 0));
    SetHandleInformation(reading, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writing;
    startup.hStdError = writing;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessW(pinger.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                               nullptr, nullptr, &startup, &process));
    CloseHandle(writing);
    BatchRun automation({}, std::string("t = Process.clock_gettime(Process::CLOCK_MONOTONIC)\r\n"
                                        "nil while Process.clock_gettime(Process::CLOCK_MONOTONIC)"
                                        " - t < 5\r\nputs 'done'"));
    const BatchRun::Result result = automation.run([this] { frame->runCommand(0); });
    EXPECT_EQ(result.exitCode, 0) << result.message;
    EXPECT_EQ(frame->view().bytes(), "done\n");
    // The pinger may go on a little after the run, being slower to start; the frame is idle
    // then, and its loop answers.
    while (MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 20'000, QS_ALLINPUT) ==
           WAIT_OBJECT_0 + 1) {
        MSG message = {};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    char said[256] = {};
    DWORD got = 0;
    ReadFile(reading, said, sizeof said - 1, &got, nullptr);
    CloseHandle(reading);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(exitCode, 0u) << "the frame took a second or more to answer: " << said;
}
