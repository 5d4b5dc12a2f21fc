#pragma once

/**
 * The runtime's SIGSEGV and SIGBUS handlers, in force while a script runs (one run at a time).
 *
 * The runtime turns a machine-stack overflow (deep data through `inspect`, `flatten`,
 * `Marshal`, ...) into SystemStackError with those handlers; without them the overflow ends
 * the editor. Between runs the host's own handlers are in force. (Windows has no such
 * signals: there the runtime's exception handler serves the whole process.)
 */
class RuntimeFaultHandlers
{
public:
    /// Records the handlers the runtime installed; called once, right after it started.
    static void remember();

    /// Puts the runtime's handlers in place (when they were recorded).
    RuntimeFaultHandlers();
    /// Gives back the handlers that were in place before.
    ~RuntimeFaultHandlers();
    RuntimeFaultHandlers(const RuntimeFaultHandlers &) = delete;
    RuntimeFaultHandlers &operator=(const RuntimeFaultHandlers &) = delete;
};
