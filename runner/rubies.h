#pragma once

#include <ruby.h>

/// Marks a function the runtime calls that a raise may leave (a Ruby method written in C): the
/// runtime jumps out with __builtin_longjmp, which the address sanitizer does not see, so such
/// a function must keep no poisoned red zones on the machine stack.
#define KORVEX_LEFT_BY_RAISE __attribute__((no_sanitize("address")))

/**
 * Access to the Ruby runtime's process-wide variables.
 *
 * On Linux the runtime's data is linked directly, so each accessor reads or writes the
 * runtime's own variable. The runtime has no separate default-output global and keeps the
 * current exception per execution context, so those are reached through its functions.
 */
class Rubies
{
public:
    /// The runtime's IO class.
    static VALUE ioClass() { return rb_cIO; }
    /// The standard input stream global (what `$stdin` reads in the main Ractor).
    static VALUE &stdinVar() { return rb_stdin; }
    /// The standard output stream global (what `$stdout` reads in the main Ractor).
    static VALUE &stdoutVar() { return rb_stdout; }
    /// The standard error stream global (what `$stderr` reads in the main Ractor).
    static VALUE &stderrVar() { return rb_stderr; }
    /// The script's argument array, `ARGV`.
    static VALUE argv() { return rb_get_argv(); }
    /// The exception being handled or just caught by a protected call; nil when none.
    static VALUE errinfo() { return rb_errinfo(); }
    /// Clears the current exception, so that it neither leaks into `$!` of later runs nor
    /// stays reachable for the collector.
    static void clearErrinfo() { rb_set_errinfo(Qnil); }
    /// rb_protect(): calls @p function with @p argument; a raise ends it and sets *@p state to
    /// non-zero (the exception is errinfo()). Use this, not rb_protect, for every protected
    /// call: in a sanitizer build it also clears what the raise left on the machine stack.
    static VALUE protect(VALUE (*function)(VALUE), VALUE argument, int *state);
};
