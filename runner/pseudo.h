#pragma once

#include "runner/linelist.h"

#include <ruby.h>

#include <memory>
#include <string>

/**
 * Runs a script in the embedded runtime with its standard streams captured.
 *
 * For the duration of a run `$stdin`, `$stdout` and `$stderr` all point at one capture
 * object: whatever the script writes lands in one buffer in write order, mirrored into the
 * caller's line list; what it reads with `gets`/`getc` comes from the process's standard input
 * (file descriptor 0). The state here is process-wide and kept between runs; not reentrant.
 */
class Pseudo
{
public:
    /**
     * Runs the whole text of @p script with the lines of @p params as `ARGV`. Everything the
     * script writes is collected in OutputBuffer() and, after every non-empty write, mirrored
     * into @p outputLines when given (a script that writes nothing leaves that list as it
     * was). A script error, `exit` or `abort` ends the script and its message is written to
     * the output like any other write. The standard stream globals get their values back on
     * every way out. Returns the script's value (nil when it raised). Throws only for
     * failures of the plug-in's own code, after the streams have been restored.
     * The runtime must have been started.
     */
    static VALUE RunScript(const LineList &script, const LineList &params, LineList *outputLines);

    /// Everything the last run wrote (cut at NUL bytes); emptied when the next run begins.
    static const std::string &OutputBuffer();

private:
    static void InstallCapture();
    static void RestoreStreams();
    static void CreateCapture();
    static bool AppendOutput(const char *bytes, long length) noexcept;
    static VALUE Evaluate(VALUE run);
    static void SetArgv(const LineList &params,
                        const std::shared_ptr<const std::string> &paramsText);
    static VALUE WriteError(VALUE error);
    static VALUE CaptureWrite(int argc, VALUE *argv, VALUE self);
    static VALUE CaptureGets(VALUE self);
    static VALUE CaptureGetc(VALUE self);
    static VALUE CaptureSelf(VALUE self);
    static VALUE CaptureTrue(VALUE self);
    static VALUE CaptureFalse(VALUE self);
    static VALUE CaptureNil(VALUE self);
    static VALUE CaptureSetSync(VALUE self, VALUE sync);

    friend class RestoreStreamsOnExit;
};
