#pragma once

/**
 * Starts the embedded Ruby runtime for the whole process.
 *
 * Afterwards a script sees what the `ruby` command gives a program: the full core library
 * (including the parts defined in Ruby), RubyGems and the standard library on the load path,
 * and `Encoding.default_external` taken from the locale's codeset. Call it once, on the thread
 * that will run every script, after the host has called setlocale(LC_ALL, ""). The runtime is
 * never finalized. Signal handlers that the host had before the call are left in place; a
 * host SIGCHLD handler shares the signal with the runtime, which needs it to wait for a
 * script's child processes. What would end, replace or duplicate the host process is refused
 * inside scripts with an error that ends only the script: `exit!` (reported like `exit`),
 * `fork`, `exec`, `Process.daemon`, `IO.popen("-")`, signals to the host's own process or
 * group, closing or reopening STDIN/STDOUT/STDERR, and freezing `ARGV`.
 */
void StartRuntime();
