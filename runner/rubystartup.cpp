#include "rubystartup.h"

#include "hostprocess.h"
#include "rubies.h"
#include "runtimefaulthandlers.h"
#include "scriptenvironment_rb.h"

#include <ruby.h>

#include <vector>

namespace {

/// Makes the runtime's environment for scripts; see scriptenvironment.rb.
VALUE defineScriptEnvironment(VALUE)
{
    return rb_eval_string(kScriptEnvironment);
}

} // namespace

void StartRuntime()
{
    std::vector<char *> &commandLine = HostProcess::commandLine();
    int argc = static_cast<int>(commandLine.size()) - 1;
    char **argv = commandLine.data();
    ruby_sysinit(&argc, &argv);

    // On the main thread the runtime takes the bounds of the whole main-thread stack from the
    // system and ignores this address, so the collector scans every frame of later calls,
    // whether they come from deeper or shallower frames than this one. Scripts must therefore
    // run on the thread that called StartRuntime, on the same stack (RuntimeStack).
    RUBY_INIT_STACK;

    const HostProcess host;
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
    Rubies::protect(defineScriptEnvironment, Qnil, &state);
    if (state)
        rb_set_errinfo(Qnil);

    // Taken while the runtime's handlers are in place, before the host gets its own back.
    RuntimeFaultHandlers::remember();
}
