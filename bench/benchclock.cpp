#include "benchclock.h"

#include <ctime>

double BenchClock::now()
{
    timespec t{};
    clock_gettime(s_processor ? CLOCK_PROCESS_CPUTIME_ID : CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

const char *BenchClock::rubyClockName()
{
    return s_processor ? "Process::CLOCK_PROCESS_CPUTIME_ID" : "Process::CLOCK_MONOTONIC";
}
