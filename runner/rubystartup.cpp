#include "rubystartup.h"

#include "rubies.h"
#include "runtimefaulthandlers.h"
#include "scriptenvironment_rb.h"

#include <QFile>

#include <ruby.h>

#include <array>
#include <csignal>
#include <string>
#include <vector>

namespace {

// Signals the host may rely on; the runtime installs handlers for them while starting.
// SIGVTALRM stays with the runtime, which uses it to wake its own blocked threads. SIGCHLD is
// shared (see shareChildSignal): the runtime waits for a script's children (`system`,
// backticks, `spawn`) by that signal alone and would otherwise wait for ever.
constexpr std::array kHostSignals{SIGINT,  SIGHUP,  SIGQUIT, SIGTERM, SIGALRM,
                                  SIGUSR1, SIGUSR2, SIGPIPE, SIGSEGV, SIGBUS};

// The two SIGCHLD handlers a shared signal goes to; fixed once the runtime has started.
struct sigaction hostChildAction = {};
struct sigaction runtimeChildAction = {};

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

/// Called after the runtime installed its SIGCHLD handler over @p host: when the host had a
/// handler of its own, both get the signal from now on.
void shareChildSignal(const struct sigaction &host)
{
    const bool hostHandles = (host.sa_flags & SA_SIGINFO)
                                 ? host.sa_sigaction != nullptr
                                 : host.sa_handler != SIG_DFL && host.sa_handler != SIG_IGN;
    if (!hostHandles)
        return; // nobody else listens: the runtime's handler alone is right
    hostChildAction = host;
    sigaction(SIGCHLD, nullptr, &runtimeChildAction);
    struct sigaction shared = {};
    shared.sa_sigaction = sharedChildHandler;
    shared.sa_flags = SA_SIGINFO | SA_RESTART;
    sigfillset(&shared.sa_mask);
    sigaction(SIGCHLD, &shared, nullptr);
}

/// Remembers the handlers of kHostSignals and puts them back when it goes out of scope.
class SignalGuard
{
public:
    SignalGuard()
    {
        for (std::size_t i = 0; i < kHostSignals.size(); ++i)
            sigaction(kHostSignals[i], nullptr, &m_saved[i]);
    }
    ~SignalGuard()
    {
        for (std::size_t i = 0; i < kHostSignals.size(); ++i)
            sigaction(kHostSignals[i], &m_saved[i], nullptr);
    }
    SignalGuard(const SignalGuard &) = delete;
    SignalGuard &operator=(const SignalGuard &) = delete;

private:
    std::array<struct sigaction, kHostSignals.size()> m_saved{};
};

/// The process's own command line; ruby_sysinit may keep pointers into it, so it lives on.
struct CommandLine
{
    std::vector<std::string> args;
    std::vector<char *> argv;
};

CommandLine &processCommandLine()
{
    static CommandLine line = [] {
        CommandLine l;
        QFile file(QStringLiteral("/proc/self/cmdline"));
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray all = file.readAll();
            for (const QByteArray &arg : all.split('\0'))
                l.args.emplace_back(arg.constData(), arg.size());
            // The file ends with a NUL, which leaves one empty piece behind.
            if (!l.args.empty() && l.args.back().empty())
                l.args.pop_back();
        }
        for (std::string &a : l.args)
            l.argv.push_back(a.data());
        l.argv.push_back(nullptr);
        return l;
    }();
    return line;
}

/// Makes the runtime's environment for scripts; see scriptenvironment.rb.
VALUE defineScriptEnvironment(VALUE)
{
    return rb_eval_string(kScriptEnvironment);
}

} // namespace

void StartRuntime()
{
    CommandLine &line = processCommandLine();
    int argc = static_cast<int>(line.args.size());
    char **argv = line.argv.data();
    ruby_sysinit(&argc, &argv);

    // On the main thread the runtime takes the bounds of the whole main-thread stack from the
    // system and ignores this address, so the collector scans every frame of later calls,
    // whether they come from deeper or shallower frames than this one. Scripts must therefore
    // run on the thread that called StartRuntime.
    RUBY_INIT_STACK;

    struct sigaction hostChild = {};
    sigaction(SIGCHLD, nullptr, &hostChild);
    const SignalGuard keepHostSignals;
    ruby_init();
    shareChildSignal(hostChild);

    // Option processing is what loads the part of the core written in Ruby, RubyGems and the
    // load path, and fixes Encoding.default_external from the locale. An empty -e program
    // stands for the options; it is compiled but never run, and the user's command line is
    // not looked at. The load path is set up in here too (ruby_init_loadpath would add it a
    // second time).
    static char progName[] = "ruby";
    static char dashE[] = "-e";
    static char empty[] = "";
    static char *options[] = {progName, dashE, empty, nullptr};
    ruby_options(3, options);

    int state = 0;
    Rubies::protect(defineScriptEnvironment, Qnil, &state);
    if (state)
        rb_set_errinfo(Qnil);

    // Taken while the runtime's handlers are in place, before the guard gives the host's back.
    RuntimeFaultHandlers::remember();
}
