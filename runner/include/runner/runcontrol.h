#pragma once

#include "runner/linelist.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>

class ScriptWatch;

/**
 * What the script window needs of a run besides TZerith, without the runtime's types: watching
 * the run (the UI thread serviced while the script runs on it, and a Stop delivered to the
 * script), the lines written so far, and what a run leaves for its caller (its arguments, its
 * output).
 */
class RunControl
{
public:
    /**
     * Watches the runs of this thread while it lives: on each beat() the runtime calls
     * @p service on this thread at its next safe point, a blocked system call included
     * (at most every 20 ms); a Stop asked for meanwhile (requestStop) reaches the script right
     * after. One at a time.
     */
    explicit RunControl(std::function<void()> service);
    ~RunControl();
    RunControl(const RunControl &) = delete;
    RunControl &operator=(const RunControl &) = delete;

    /// Whether a Stop was asked for while this lived.
    bool stopRequested() const;

    /// A beat for the live RunControl, from a timer (platform::UiPulse); nothing without one.
    /// Async-signal-safe, and callable from any thread.
    static void beat();
    /// Asks the watched script to stop: the first request interrupts it (its `ensure` runs),
    /// each further one forces it, as does the grace period; nothing without a watched run.
    static void requestStop();
    /// How long a script may go on after an interrupting Stop before it is forced.
    static std::chrono::milliseconds gracePeriod();

    /// The line feeds the running script has written so far (it may lag behind).
    static std::size_t outputLinesSoFar();
    /// Empties `ARGV`, giving back the memory of a large one now.
    static void releaseArguments();
    /// Puts the output of the last run, which was given no output list, into @p lines.
    static void readOutput(LineList &lines);

private:
    std::unique_ptr<ScriptWatch> m_watch;
};
