#pragma once

#include <ruby.h>

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
};
