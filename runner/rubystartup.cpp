#include "rubystartup.h"

#include <QFile>

#include <ruby.h>

#include <array>
#include <csignal>
#include <string>
#include <vector>

namespace {

// Signals the host may rely on; the runtime installs handlers for them while starting.
// SIGVTALRM stays with the runtime, which uses it to wake its own blocked threads.
constexpr std::array kHostSignals{SIGINT,  SIGHUP,  SIGQUIT, SIGTERM, SIGALRM, SIGUSR1,
                                  SIGUSR2, SIGPIPE, SIGCHLD, SIGSEGV, SIGBUS};

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

VALUE guardProcessExit(VALUE)
{
    rb_define_module_function(rb_mKernel, "exit!", scriptExitBang, -1);
    rb_define_module_function(rb_mProcess, "exit!", scriptExitBang, -1);
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

    const SignalGuard keepHostSignals;
    ruby_init();

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
