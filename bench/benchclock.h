#pragma once

/// The clock every figure is taken with: wall time, or the processor time of the process
/// (user + system), which a machine shared with other work disturbs far less.
class BenchClock
{
public:
    /// Chooses processor time (true) or wall time (false) for every later reading.
    static void useProcessorTime(bool processor) { s_processor = processor; }
    static bool isProcessorTime() { return s_processor; }
    /// The present reading in seconds; only differences mean anything.
    static double now();
    /// The name of the clock as Ruby's Process.clock_gettime knows it.
    static const char *rubyClockName();

private:
    static inline bool s_processor = false;
};
