// A beat (a timer signal to the UI thread on Linux, a thread-pool timer on Windows) marks a
// postponed job; the job serves the window and delivers a requested stop through a signal trap,
// forced by a throw if the script rescues it. docs/stopping-a-script.md says why.

#include "scriptwatch.h"

#include "childjob.h"
#include "rubies.h"
#include "runtimesignals.h"

#include <ruby/debug.h>

#include <atomic>
#include <exception>

// Exported by the runtime but declared in none of its headers: Process.kill as the runtime
// itself defines it, out of reach of whatever a script made of Process.kill.
extern "C" VALUE rb_f_kill(int argc, const VALUE *argv);

namespace {

constexpr std::chrono::milliseconds MinimumServiceInterval{20};

// Read by beat() on a thread-pool thread on Windows.
std::atomic<ScriptWatch *> currentWatch{nullptr};

// Made once by prepare() and kept for the life of the process.
VALUE stopTag = Qnil;    // thrown to force a stop
VALUE stopProc = Qnil;   // the trap's command
VALUE trapMethod = Qnil; // Signal.trap as it was before any script ran
VALUE korvexModule = Qnil;

struct Call
{
    VALUE (*body)(VALUE);
    VALUE argument;
};

// Whether a runStoppable body runs now: stops are delivered only then.
int stoppableDepth = 0;

} // namespace

ScriptWatch::ScriptWatch(Service service)
    : m_service(std::move(service)), m_thread(std::this_thread::get_id())
{
    currentWatch = this;
}

ScriptWatch::~ScriptWatch()
{
    currentWatch = nullptr;
}

ScriptWatch *ScriptWatch::current()
{
    return currentWatch;
}

void ScriptWatch::beat()
{
    if (ScriptWatch *const watch = currentWatch) {
        watch->m_beaten.store(true, std::memory_order_relaxed);
        RuntimeSignals::callSoon(job);
    }
}

void ScriptWatch::requestStop()
{
    ++m_requests;
}

void ScriptWatch::prepare()
{
    if (!NIL_P(stopTag))
        return;
    stopTag = rb_obj_alloc(rb_cObject);
    rb_global_variable(&stopTag);
    stopProc = rb_proc_new(stopTrap, Qnil);
    rb_global_variable(&stopProc);
    trapMethod = rb_obj_method(rb_path2class("Signal"), ID2SYM(rb_intern("trap")));
    rb_global_variable(&trapMethod);
    korvexModule = rb_define_module("Korvex");
    rb_global_variable(&korvexModule);
    ChildJob::define(korvexModule);
    // Trapped from the start, so that the runtime's handler of the signal is in place for
    // RuntimeSignals before any beat.
    const VALUE trapArgs[] = {INT2FIX(RuntimeSignals::stopSignal()), stopProc};
    rb_method_call(2, trapArgs, trapMethod);
    RuntimeSignals::prepare();
}

void ScriptWatch::job(void *)
{
    ScriptWatch *const watch = currentWatch;
    // On Windows the runtime may run the job on a thread the script started, which holds the
    // runtime then; only the watch's own thread has its windows and the stop's trap.
    if (!watch || watch->m_serving || std::this_thread::get_id() != watch->m_thread)
        return;
    // A job asked for by an earlier run's last beat may come only now (on Windows the beats
    // are not the runtime thread's own): this run is served once its own pulse beats.
    if (!watch->m_beaten.load(std::memory_order_relaxed))
        return;
    watch->m_serving = true;
    try {
        watch->serve();
    } catch (...) {
        // Nothing may unwind through the runtime's frames; a failing service misses a beat.
    }
    watch->m_serving = false;
}

void ScriptWatch::serve()
{
    auto now = std::chrono::steady_clock::now();
    if (m_service && now - m_lastService >= MinimumServiceInterval) {
        m_lastService = now;
        m_service();
        now = std::chrono::steady_clock::now();
    }
    deliverIfDue(now);
}

void ScriptWatch::deliverIfDue(std::chrono::steady_clock::time_point now)
{
    if (m_requests == 0 || stoppableDepth == 0 || NIL_P(stopTag))
        return;
    const bool due = m_requests > m_deliveries || now - m_lastDelivery >= GracePeriod;
    if (!due)
        return;
    m_forcing = m_deliveries > 0;
    ++m_deliveries;
    m_lastDelivery = now;
    int state = 0;
    Rubies::protect(sendStop, Qnil, &state);
    if (state)
        Rubies::clearErrinfo();
}

VALUE ScriptWatch::sendStop(VALUE)
{
    const VALUE signal = INT2FIX(RuntimeSignals::stopSignal());
    // Trapped again every time: the script may have trapped or ignored the signal meanwhile.
    const VALUE trapArgs[] = {signal, stopProc};
    rb_method_call(2, trapArgs, trapMethod);
    const VALUE killArgs[] = {signal, RuntimeSignals::processId()};
    return rb_f_kill(2, killArgs);
}

KORVEX_LEFT_BY_RAISE VALUE ScriptWatch::stopTrap(VALUE, VALUE, int, const VALUE *, VALUE)
{
    ScriptWatch *const watch = currentWatch;
    if (!watch || watch->m_deliveries == 0 || stoppableDepth == 0)
        return Qnil; // the signal from elsewhere, or a stop that came too late
    if (!watch->m_childrenStopped) {
        // The children the script is waiting for end with it, or the wait would go on.
        watch->m_childrenStopped = true;
        rb_funcall(korvexModule, rb_intern("stop_children"), 0);
    }
    if (watch->m_forcing)
        rb_throw_obj(stopTag, stopTag);
    rb_interrupt();
    return Qnil;
}

KORVEX_LEFT_BY_RAISE VALUE ScriptWatch::callBody(VALUE, VALUE callArgument, int, const VALUE *,
                                                 VALUE)
{
    const Call &call = *reinterpret_cast<const Call *>(callArgument); // NOLINT
    return call.body(call.argument);
}

KORVEX_LEFT_BY_RAISE VALUE ScriptWatch::runStoppable(VALUE (*body)(VALUE), VALUE argument)
{
    if (NIL_P(stopTag))
        return body(argument);
    Call call{body, argument};
    // Counted down on every way out, a raise included: an ensure of the runtime's own.
    ++stoppableDepth;
    const VALUE result =
        rb_ensure([](VALUE callValue) { return rb_catch_obj(stopTag, callBody, callValue); },
                  reinterpret_cast<VALUE>(&call),
                  [](VALUE) {
                      --stoppableDepth;
                      return Qnil;
                  },
                  Qnil);
    return result == stopTag ? Qundef : result;
}
