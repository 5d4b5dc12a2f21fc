#include "hostprocess.h"

#include <array>
#include <csignal>
#include <fstream>
#include <iterator>
#include <string>
#if defined(__linux__)
#include <sys/prctl.h>
#endif

namespace {

// Signals the host may rely on; the runtime installs handlers for them while starting.
// SIGVTALRM stays with the runtime; SIGCHLD is shared (shareChildSignal).
constexpr std::array kHostSignals{SIGINT,  SIGHUP,  SIGQUIT, SIGTERM, SIGALRM,
                                  SIGUSR1, SIGUSR2, SIGPIPE, SIGSEGV, SIGBUS};

// What the host had before the runtime started; process-wide, like the signals themselves.
std::array<struct sigaction, kHostSignals.size()> hostActions{};
struct sigaction hostChildAction = {};
// The runtime's SIGCHLD handler, when the signal is shared.
struct sigaction runtimeChildAction = {};
// Whether the host had transparent huge pages turned off for itself (PR_GET_THP_DISABLE).
int hostHugePagesDisabled = 0;

void callAction(const struct sigaction &action, int signal, siginfo_t *info, void *context)
{
    if (action.sa_flags & SA_SIGINFO) {
        if (action.sa_sigaction != nullptr)
            action.sa_sigaction(signal, info, context);
    } else if (action.sa_handler != SIG_DFL && action.sa_handler != SIG_IGN) {
        action.sa_handler(signal);
    }
}

void sharedChildHandler(int signal, siginfo_t *info, void *context)
{
    callAction(runtimeChildAction, signal, info, context);
    callAction(hostChildAction, signal, info, context);
}

/// Called after the runtime installed its SIGCHLD handler: when the host had a handler of its
/// own, both get the signal from now on. The runtime waits for a script's children (`system`,
/// backticks, `spawn`) by that signal alone and would otherwise wait for ever.
void shareChildSignal()
{
    const struct sigaction &host = hostChildAction;
    const bool hostHandles = (host.sa_flags & SA_SIGINFO)
                                 ? host.sa_sigaction != nullptr
                                 : host.sa_handler != SIG_DFL && host.sa_handler != SIG_IGN;
    if (!hostHandles)
        return; // nobody else listens: the runtime's handler alone is right
    sigaction(SIGCHLD, nullptr, &runtimeChildAction);
    struct sigaction shared = {};
    shared.sa_sigaction = sharedChildHandler;
    shared.sa_flags = SA_SIGINFO | SA_RESTART;
    sigfillset(&shared.sa_mask);
    sigaction(SIGCHLD, &shared, nullptr);
}

} // namespace

HostProcess::HostProcess()
{
    for (std::size_t i = 0; i < kHostSignals.size(); ++i)
        sigaction(kHostSignals[i], nullptr, &hostActions[i]);
    sigaction(SIGCHLD, nullptr, &hostChildAction);
#if defined(__linux__)
    hostHugePagesDisabled = prctl(PR_GET_THP_DISABLE, 0, 0, 0, 0) == 1 ? 1 : 0;
#endif
}

HostProcess::~HostProcess()
{
    shareChildSignal();
    for (std::size_t i = 0; i < kHostSignals.size(); ++i)
        sigaction(kHostSignals[i], &hostActions[i], nullptr);
#if defined(__linux__)
    // The runtime turns huge pages off for the whole process as it starts (for copy-on-write
    // after fork, which servers rely on); an editor's large buffers want them.
    prctl(PR_SET_THP_DISABLE, hostHugePagesDisabled, 0, 0, 0);
#endif
}

std::vector<std::string> HostProcess::readCommandLine()
{
    std::vector<std::string> read;
    std::ifstream file("/proc/self/cmdline", std::ios::binary);
    const std::string all{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    std::size_t start = 0;
    while (start < all.size()) {
        const std::size_t end = all.find('\0', start);
        read.push_back(all.substr(start, end - start));
        start = end == std::string::npos ? all.size() : end + 1;
    }
    return read;
}
