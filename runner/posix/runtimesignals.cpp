#include "runtimesignals.h"

#include <csignal>
#include <unistd.h>

int RuntimeSignals::stopSignal()
{
    // A real-time signal of its own: a script's traps of the common ones stay untouched, and so
    // do the host's handlers.
    return SIGRTMIN + 5;
}

VALUE RuntimeSignals::processId()
{
    return INT2NUM(getpid());
}

void RuntimeSignals::prepare() {}

void RuntimeSignals::callSoon(rb_postponed_job_func_t job)
{
    // The pulse's signal, on this very thread, has made the blocking call return already.
    rb_postponed_job_register_one(0, job, nullptr);
}
