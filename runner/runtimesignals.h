#pragma once

#include <ruby.h>
#include <ruby/debug.h>

/**
 * What stopping a script needs of the runtime's signals, which differ by system.
 *
 * A stop is a trap of stopSignal() that the runtime's own Process.kill raises for processId()
 * (see scriptwatch.cpp). A beat of the pulse has the runtime call a job on its main thread at
 * the next safe point, a blocking system call included (callSoon()).
 */
class RuntimeSignals
{
public:
    /// The signal a stop is delivered with: one no script traps by name.
    static int stopSignal();
    /// The editor's process id, as the runtime's Process.kill takes it.
    static VALUE processId();

    /// Makes what callSoon() needs; called on the runtime's main thread before the first
    /// script runs, once the stop signal is trapped by the runner.
    static void prepare();

    /**
     * Has the runtime call @p job on its main thread at its next safe point, waking that thread
     * from a blocking call. POSIX: async-signal-safe, for a signal handler on that thread
     * (whose signal has interrupted the call already). Windows: from any thread; calls for the
     * same job before it has run are one call.
     */
    static void callSoon(rb_postponed_job_func_t job);
};
