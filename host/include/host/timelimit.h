#pragma once

#include <functional>
#include <optional>
#include <string>

/**
 * Batch mode's --time-limit as both editors keep it: once the limit has passed, the script
 * window's Stop is pressed, and again after every grace period while the script still runs;
 * what is reported then, and that the run counts as stopped. Each editor's batch run provides
 * the timer and the press of its own window's Stop.
 */
class TimeLimit
{
public:
    /// How long a script may go on after a Stop before Stop is pressed again.
    static constexpr int GraceMs = 1000;
    /// How soon to look again when the limit has passed but no Stop can be pressed yet (the
    /// run has not been going on long enough to show it).
    static constexpr int RetryMs = 50;

    /// A limit of @p seconds (more than 0).
    explicit TimeLimit(int seconds) : m_seconds(seconds) {}

    /// Milliseconds from the start of the run until Stop is first due.
    int firstMs() const { return m_seconds * 1000; }
    /**
     * Stop is due: @p pressStop presses the script window's Stop when one can be pressed (the
     * window shows it, enabled) and answers whether it did. Answers the milliseconds until
     * Stop is due again; none when the run has ended after a Stop.
     */
    std::optional<int> due(const std::function<bool()> &pressStop);

    /// Whether Stop was pressed because the limit passed.
    bool expired() const { return m_expired; }
    /// What batch mode reports on standard error when the limit passed: "stopped after N s".
    std::string message() const;

private:
    int m_seconds;
    bool m_expired = false;
};
