// How the runtime's main thread is reached from a thread-pool timer on Windows, as found under
// Wine with this runtime (docs/stopping-a-script.md):
//
// - rb_postponed_job_register_one from a thread without a Ruby context does not mark the main
//   thread here: this runtime keeps its current context in a Win32 TLS slot, and reading the
//   empty slot of another thread is a fatal rb_bug ("TlsGetValue() returns NULL"), which left
//   the pool thread hanging. rb_workqueue_register (exported, declared in no header) is the
//   runtime's own way in from a foreign thread: it queues the job under a lock and marks the
//   context that runs Ruby code at the moment, normally the main thread's.
// - That only marks: a main thread blocked in `sleep`, a pipe read, IO.select or a wait for a
//   child waits on an event of its own together with the call, and only the runtime sets that
//   event: its timer thread does so every 10 ms while a signal is queued. A signal is queued
//   by the runtime's C handler, so the beat calls that handler itself (never raise(): while the
//   runtime's Process.kill probes a handler it puts SIG_DFL in place for a moment, and a raise
//   then would end the editor). It queues SIGKILL, which no script can trap and whose queued
//   entry the runtime drops without running anything; the queue itself wakes the thread,
//   which then runs the job on its way back.

#include "runtimesignals.h"

#include <atomic>
#include <csignal>
#include <process.h>

extern "C" int rb_workqueue_register(unsigned flags, rb_postponed_job_func_t func, void *data);

namespace {

// SIGKILL as the runtime numbers it on Windows (its win32.h).
constexpr int WakeSignal = 9;

using SignalHandler = void (*)(int);
// The runtime's C signal handler; null when it could not be found (then only the main
// thread's own safe points call the job: busy code, not a blocking call).
std::atomic<SignalHandler> runtimeHandler{nullptr};

// One queued entry per job at most, however long the main thread takes to get to it.
std::atomic<rb_postponed_job_func_t> pendingJob{nullptr};
std::atomic<bool> queued{false};

void runPending(void *)
{
    queued.store(false);
    if (const rb_postponed_job_func_t job = pendingJob.load())
        job(nullptr);
}

} // namespace

int RuntimeSignals::stopSignal()
{
    // The runtime emulates SIGBREAK for its own Process.kill of the process itself; it is not
    // in Signal.list there, so no script traps it by name.
    return SIGBREAK;
}

VALUE RuntimeSignals::processId()
{
    return INT2NUM(_getpid());
}

void RuntimeSignals::prepare()
{
    // The runner has trapped the stop signal, so its C handler is now the runtime's own.
    const SignalHandler handler = signal(SIGBREAK, SIG_IGN);
    signal(SIGBREAK, handler);
    if (handler != SIG_DFL && handler != SIG_IGN && handler != SIG_ERR)
        runtimeHandler.store(handler);
}

void RuntimeSignals::callSoon(rb_postponed_job_func_t job)
{
    pendingJob.store(job);
    if (!queued.exchange(true) && !rb_workqueue_register(0, runPending, nullptr))
        queued.store(false);
    if (const SignalHandler handler = runtimeHandler.load())
        handler(WakeSignal);
}
