#pragma once

#include "platform/platform_export.h"
#include "platform/windowhandle.h"

/// Keeping a user interface alive while its thread is busy with something that does not
/// return to the event loop, such as a script run on that thread.
namespace platform {

/**
 * A pulse for the thread that made it: while it lives, @p beat is called at a steady pace on
 * that thread's behalf, so that the thread, busy with something that does not return to the
 * event loop, can notice it.
 *
 * On POSIX systems the pulse is a timer signal aimed at the thread: @p beat runs in a signal
 * handler and must be async-signal-safe, and a system call the thread blocks in is
 * interrupted (it fails with EINTR, for its caller to retry or give up). On Windows it is a
 * thread-pool timer: @p beat runs on a pool thread, and waking the busy thread from a blocking
 * call is up to @p beat (only what the thread waits in can interrupt it). Nothing is done with
 * the beat except calling @p beat; what the thread does then is up to whatever @p beat
 * arranges. Not nestable: one pulse at a time per process.
 */
class PLATFORM_EXPORT UiPulse
{
public:
    using Beat = void (*)();

    /// Starts beating @p firstMs milliseconds from now, then every @p intervalMs.
    UiPulse(Beat beat, int firstMs, int intervalMs);
    /// Stops the beats; none is called, or still running, once this returns.
    ~UiPulse();
    UiPulse(const UiPulse &) = delete;
    UiPulse &operator=(const UiPulse &) = delete;

    /**
     * Handles the window events waiting for the calling thread, without waiting for more:
     * every window repaints, what other threads and processes send is answered, and user
     * input (keys, the mouse, closing a window) reaches only @p window and what lies inside
     * it; input meant for any other window is dropped, so no other command of the host can
     * start meanwhile.
     */
    static void serviceEvents(WindowHandle window);

private:
    void *m_timer = nullptr; // the system's timer, when one was made
};

} // namespace platform
