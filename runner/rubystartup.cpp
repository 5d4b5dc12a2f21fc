#include "rubystartup.h"

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

/// Replaces `exit!`, which would end the host process and lose the user's unsaved documents:
/// it ends only the script, like `exit`, with its own message.
VALUE scriptExitBang(int argc, VALUE *argv, VALUE)
{
    VALUE status = Qnil;
    rb_scan_args(argc, argv, "01", &status);
    if (NIL_P(status))
        status = Qfalse; // exit! fails by default
    VALUE args[2] = {status, rb_str_new_cstr("exit! ends only the script")};
    rb_exc_raise(rb_class_new_instance(2, args, rb_eSystemExit));
    return Qnil;
}

/// Replaces `fork` and `Process.daemon`: the child would go on running the editor after the
/// script, and a daemonising parent ends at once.
[[noreturn]] VALUE scriptFork(int, VALUE *, VALUE)
{
    rb_raise(rb_eNotImpError, "fork is not available in the editor");
}

/// Replaces `exec`, which would put another program in the editor's place and lose its
/// documents.
[[noreturn]] VALUE scriptExec(int, VALUE *, VALUE)
{
    rb_raise(rb_eNotImpError, "exec is not available in the editor");
}

// The other ways of duplicating the process (a command of "-" makes popen and open fork),
// signals a script would send to the editor itself, and the standard streams' descriptors,
// which are the editor's own: closing or redirecting them would outlive the script.
constexpr char kProcessGuards[] = R"(
module Korvex
  module NoSelfSignals
    def kill(signal, *pids)
      own = [Process.pid, 0, -1, -Process.getpgrp]
      if signal != 0 && pids.any? { |pid| own.include?(pid) }
        raise NotImplementedError, "signals to the editor's own process are not available in the editor"
      end
      super
    end
  end
  # Every run refills ARGV in place; once frozen, no later run could get its lines.
  module KeepArgvOpen
    def freeze
      raise NotImplementedError, "freezing ARGV is not available in the editor"
    end
  end
  module KeepStandardStream
    %i[close close_read close_write reopen].each do |name|
      define_method(name) do |*|
        raise IOError, "#{name} of a standard stream is not available in the editor"
      end
    end
  end
  module NoForkingPopen
    def popen(*args, **opts, &block)
      cmd = args.find { |a| !a.is_a?(Hash) }
      raise NotImplementedError, "fork is not available in the editor" if cmd == "-"
      super
    end
  end
  module NoForkingOpen
    private def open(*args, **opts, &block)
      raise NotImplementedError, "fork is not available in the editor" if args.first == "|-"
      super
    end
  end
end
IO.singleton_class.prepend(Korvex::NoForkingPopen)
Kernel.prepend(Korvex::NoForkingOpen)
Kernel.singleton_class.prepend(Korvex::NoForkingOpen)
Process.singleton_class.prepend(Korvex::NoSelfSignals)
ARGV.singleton_class.prepend(Korvex::KeepArgvOpen)
[STDIN, STDOUT, STDERR].each { |io| io.singleton_class.prepend(Korvex::KeepStandardStream) }
)";

VALUE guardProcessExit(VALUE)
{
    rb_define_module_function(rb_mKernel, "exit!", scriptExitBang, -1);
    rb_define_module_function(rb_mProcess, "exit!", scriptExitBang, -1);
    rb_define_module_function(rb_mKernel, "fork", scriptFork, -1);
    rb_define_module_function(rb_mProcess, "fork", scriptFork, -1);
    rb_define_module_function(rb_mProcess, "daemon", scriptFork, -1);
    rb_define_module_function(rb_mKernel, "exec", scriptExec, -1);
    rb_define_module_function(rb_mProcess, "exec", scriptExec, -1);
    rb_eval_string(kProcessGuards);
    return Qnil;
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
    rb_protect(guardProcessExit, Qnil, &state);
    if (state)
        rb_set_errinfo(Qnil);
}
