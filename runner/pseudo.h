#pragma once

#include "runner/linelist.h"
#include "runner/scriptsource.h"

#include <ruby.h>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

/**
 * Runs a script in the embedded runtime with its standard streams captured.
 *
 * For the duration of a run `$stdout` and `$stderr` (and the constants STDOUT and STDERR) are
 * capture streams made for that run: real IOs of the runtime over one anonymous file, so
 * every IO method behaves as on a file. Whatever the script and the child processes it starts
 * write lands there in write order, as on a terminal; `$stdin` and STDIN are at their end.
 * The state here is process-wide and kept between runs; not reentrant.
 */
class Pseudo
{
public:
    /**
     * Runs the whole text of @p script with the lines of @p params as `ARGV`, as the `ruby`
     * command would run the file @p fileName ("-" when empty): that name is `__FILE__` and
     * `$0`, and `require_relative` resolves against its folder; its text is compiled as
     * @p source says. Everything the script writes
     * is collected in OutputBuffer() and, when anything was written, put into @p outputLines
     * when given (a script that writes nothing leaves that list as it was). `exit` and `abort`
     * end the script quietly (abort's message is written by abort itself); any other error
     * ends it and its message is written to the output. Blocks the script registered with
     * `at_exit` run at its end. The standard streams, their constants and `$0` get their
     * values back on every way out. Returns the script's value (nil when it raised). Throws
     * only for failures of the plug-in's own code, after the streams have been restored.
     * The runtime must have been started.
     *
     * The lines of @p params stay as they are; its storage is put into the form of
     * LineList::cStringText(), which `ARGV` shares.
     *
     * A run stopped through the live ScriptWatch leaves @p outputLines as it was and
     * OutputBuffer() empty, whatever the script wrote; its at_exit blocks do not run, and the
     * child processes it started that still run are ended (see scriptenvironment.rb).
     */
    static VALUE RunScript(const LineList &script, LineList &params, LineList *outputLines,
                           std::string_view fileName = {},
                           ScriptSource source = ScriptSource::Typed);

    /// Puts the last run's output into @p outputLines as RunScript puts it into its list, for
    /// a run that was given none: a caller can free what the script no longer needs first.
    static void ReadOutput(LineList &outputLines);

    /// Empties `ARGV`; when it held many lines, the runtime collects its garbage at once, so
    /// that the text they were made from is given back now (unless the script kept some).
    static void ReleaseArguments();

    /// Everything the last run wrote (each write cut at its first NUL byte); emptied when the
    /// next run begins.
    static const std::string &OutputBuffer();

    /// The number of line feeds the running script has written to the capture file so far
    /// (not what still waits in a stream's buffer); counts on from the last call, reading at
    /// most a few megabytes a call, so it may lag behind a script that writes very fast.
    static std::size_t OutputLinesSoFar();

private:
    static bool wasStopped();
    static void CreateCapture();
    /// Installs the run's streams and runs the script, stoppably; answers its value (nil when
    /// it raised, with the error kept in the run).
    static VALUE Execute(VALUE run);
    /// Ends the run: its at_exit blocks and threads, its error's report, its children when it
    /// was stopped, and the streams given back.
    static void EndRun(VALUE run);
    static VALUE InstallCapture(VALUE run);
    static VALUE RestoreStreams(VALUE);
    static VALUE Evaluate(VALUE run);
    static VALUE Finish(VALUE run);
    static void SetArgv(const LineList &params,
                        const std::shared_ptr<const std::string> &paramsText);
    static void WriteError(VALUE error);
};
