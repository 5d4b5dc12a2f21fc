#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class TimeLimit;

/**
 * Drives the plug-in's script window the way a user would, for batch mode: waits for the
 * visible window of class "TfrmKorvex", picks a script from its list (or types one into its
 * editor), presses Run, and answers every message box of the thread instead of a user (No to
 * a question, OK otherwise), keeping the texts of the others as the run's errors. With a time
 * limit it presses the window's Stop (the button "停止" of its running bar) whenever the limit
 * says; its timer fires while a script runs because the window handles the thread's messages
 * during a long run.
 */
class BatchRun
{
public:
    struct Result
    {
        int exitCode = 0;    ///< 0 completed, 1 the window stayed open or never opened, 2 usage
        std::string message; ///< the error boxes' texts or what went wrong; empty on success
    };

    /// Picks @p scriptName from the list or, when @p scriptText (bytes in the system's code
    /// page) is given, types it instead; presses Stop as @p limit (if any, outliving the run)
    /// says. Throws std::runtime_error when its message window cannot be made.
    BatchRun(std::string scriptName, std::optional<std::string> scriptText,
             TimeLimit *limit = nullptr);
    ~BatchRun();
    BatchRun(const BatchRun &) = delete;
    BatchRun &operator=(const BatchRun &) = delete;

    /// Calls @p invoke (which shows the window modally and returns when it closes) while
    /// driving the window, and answers the outcome.
    Result run(const std::function<void()> &invoke);

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void poll();
    /// Answers the thread's message boxes not answered yet; whether any box is open.
    bool answerBoxes();
    void drive(HWND form);
    void checkClosed();
    void stopDue();
    void fail(int exitCode, const std::string &message);

    std::string m_scriptName;
    std::optional<std::string> m_scriptText;
    TimeLimit *m_limit;
    HWND m_driver = nullptr; // a message-only window: its timers run in every modal loop
    HWND m_form = nullptr;
    std::vector<HWND> m_answered;
    std::string m_errorText;
    bool m_pressedRun = false;
    std::optional<Result> m_failure;
};
