#pragma once

#include <ruby.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

/**
 * Watching a script that runs on the UI thread: servicing that thread while the script runs,
 * and stopping the script when asked.
 *
 * While a watch lives, each beat() (from a timer; see platform::UiPulse) makes the runtime
 * call the watch's service on its own thread at its next safe point, a blocked system call
 * included. The service may handle window events; a Stop pressed there calls requestStop(),
 * and the stop is delivered right after the service returns: an Interrupt raised inside the
 * script, so its `ensure` clauses run; a second Stop, or GracePeriod without the script having
 * ended, forces it (see scriptwatch.cpp for how and why). Everything here happens on the
 * runtime's thread except beat(). One watch at a time.
 */
class ScriptWatch
{
public:
    using Service = std::function<void()>;

    /// How long a script may go on after an Interrupt before it is forced, and again after
    /// each forcing it outlived.
    static constexpr std::chrono::milliseconds GracePeriod{500};

    /// Watches the runs from now on, calling @p service on every beat (at most every 20 ms).
    explicit ScriptWatch(Service service);
    ~ScriptWatch();
    ScriptWatch(const ScriptWatch &) = delete;
    ScriptWatch &operator=(const ScriptWatch &) = delete;

    /// The live watch, or nullptr.
    static ScriptWatch *current();

    /// Asks the runtime to serve the live watch at its next safe point on the watch's thread;
    /// does nothing without one. Async-signal-safe, for a timer's signal handler on the
    /// runtime's thread (POSIX); callable from any thread on Windows.
    static void beat();

    /// Asks the script to stop: the first request interrupts it, each further one forces it.
    void requestStop();
    /// Whether a stop was requested while this watch lived.
    bool stopRequested() const { return m_requests > 0; }

    /// Makes what the runner needs for stopping; called once, before the first script runs,
    /// so that no script can have changed what it relies on.
    static void prepare();

    /**
     * Calls @p body(@p argument) so that a forced stop ends it: answers what @p body returned,
     * or Qundef when a forced stop ended it. A stop is delivered only while such a call runs.
     * Raises what @p body raises (the Interrupt of a stop included); call it protected.
     */
    static VALUE runStoppable(VALUE (*body)(VALUE), VALUE argument);

private:
    static void job(void *);
    void serve();
    void deliverIfDue(std::chrono::steady_clock::time_point now);
    static VALUE sendStop(VALUE watch);
    // Block functions of the runtime (rb_block_call_func).
    static VALUE stopTrap(VALUE, VALUE, int, const VALUE *, VALUE);
    static VALUE callBody(VALUE, VALUE call, int, const VALUE *, VALUE);

    Service m_service;
    std::thread::id m_thread; // the thread served: the one that made the watch
    std::chrono::steady_clock::time_point m_lastService{};
    std::chrono::steady_clock::time_point m_lastDelivery{};
    int m_requests = 0;             // Stops asked for
    int m_deliveries = 0;           // stops delivered to the script
    bool m_forcing = false;         // the last delivery forces rather than interrupts
    bool m_childrenStopped = false; // the script's children have been told to end
    bool m_serving = false;
    std::atomic<bool> m_beaten{false}; // a beat of this watch's pulse has come
};
