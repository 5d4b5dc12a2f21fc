// Why the runtime has a stack of its own on Windows, as found under Wine
// (docs/stopping-a-script.md): the runtime checks the machine stack only on some of its paths;
// `inspect` of nested arrays reaches each level through a call that checks nothing but the VM
// stack (1 MB, about 11,900 levels of arrays), while each level takes 1.1 to 1.4 KB of machine
// stack. On a 2 MB stack the overflow comes first (1,000 levels worked, 3,000 did not), and
// Wine cannot dispatch it: the process hangs, `ruby.exe` as well. On a stack of 16 MB the VM
// stack's limit comes first and raises SystemStackError; 256 MB also leaves room for paths
// that recurse in C without any check (Array#join, Marshal.dump of 300,000 levels). The
// runtime learns the fiber's bounds as it starts there (VirtualQuery of the running stack); a
// fiber of the same thread keeps the thread's identity, its windows and its message queue.

#include "runtimestack.h"

#include <windows.h>

#include <exception>
#include <stdexcept>
#include <system_error>

namespace {

constexpr SIZE_T StackReserve = SIZE_T(256) << 20;
constexpr SIZE_T StackCommit = SIZE_T(64) << 10;

struct Request
{
    const std::function<void()> *body;
    void *caller;
    std::exception_ptr failure;
};

// The fiber and the request it serves: process-wide, like the runtime itself.
void *runtimeFiber = nullptr;
Request *currentRequest = nullptr;
bool serving = false; // a body runs on the fiber now

void CALLBACK serve(void *)
{
    for (;;) {
        Request &request = *currentRequest;
        serving = true;
        try {
            (*request.body)();
        } catch (...) {
            request.failure = std::current_exception();
        }
        serving = false;
        SwitchToFiber(request.caller);
    }
}

void *currentFiber()
{
    // GCC 12 takes the TEB read inside GetCurrentFiber for an access to an empty array.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
    return GetCurrentFiber();
#pragma GCC diagnostic pop
}

[[noreturn]] void throwSystemError(const char *what)
{
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), what);
}

} // namespace

void RuntimeStack::call(const std::function<void()> &body)
{
    if (serving) {
        body();
        return;
    }
    if (currentRequest) // only a host's fiber switching away inside a call could get here
        throw std::logic_error("The Ruby runtime's stack is in use by another fiber");
    if (!runtimeFiber) {
        runtimeFiber =
            CreateFiberEx(StackCommit, StackReserve, FIBER_FLAG_FLOAT_SWITCH, serve, nullptr);
        if (!runtimeFiber)
            throwSystemError("The Ruby runtime's stack could not be made");
    }
    // A thread must be a fiber to switch to one; a host's thread that is not one is made one
    // for the call only.
    const bool converted = !IsThreadAFiber();
    void *const caller =
        converted ? ConvertThreadToFiberEx(nullptr, FIBER_FLAG_FLOAT_SWITCH) : currentFiber();
    if (!caller)
        throwSystemError("The Ruby runtime's stack could not be reached");
    Request request{&body, caller, nullptr};
    currentRequest = &request;
    SwitchToFiber(runtimeFiber);
    currentRequest = nullptr;
    if (converted)
        ConvertFiberToThread();
    if (request.failure)
        std::rethrow_exception(request.failure);
}
