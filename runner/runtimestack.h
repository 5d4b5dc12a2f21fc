#pragma once

#include <functional>

/**
 * The machine stack the Ruby runtime runs on.
 *
 * The runtime takes the bounds of the stack it starts on for its own, and every later call
 * into it must run on that same stack: its collector scans from the running frame to the top
 * it took. On POSIX systems that is the main thread's own stack, 8 MB by default as for the
 * `ruby` command. On Windows the main thread of a host has what its program asked for (1 or
 * 2 MB is common), on which deep data overflows the machine stack before the runtime's own
 * limit (its VM stack) raises SystemStackError; there the runtime lives on a stack of its
 * own of the calling thread (a fiber, 256 MB reserved), which each call() switches to and
 * back from.
 */
class RuntimeStack
{
public:
    /// Calls @p body on the runtime's stack, on the calling thread, and returns once it has;
    /// what @p body throws is thrown here. Every call that may enter the runtime goes through
    /// here; a call from inside @p body just calls.
    static void call(const std::function<void()> &body);
};
