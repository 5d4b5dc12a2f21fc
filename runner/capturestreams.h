#pragma once

#include "runner/linelist.h"

#include <ruby.h>

#include <cstddef>
#include <string>

/**
 * The streams a run's script writes to: real IOs of the runtime over one anonymous file
 * (CaptureFile), so that every IO method finds a file behind them, and whatever the script and
 * its children write lands there in write order. What a run wrote stays in the file until the
 * next run begins. Process-wide and kept between runs; the runtime's thread only.
 */
class CaptureStreams
{
public:
    /// Makes the capture class, once: the ways into the file past a stream's buffer are its
    /// own. Raises what the runtime raises; call it protected.
    static void prepare();
    /// Whether prepare() has made the class.
    static bool isPrepared();

    /// Starts a run with an empty file: a child of an earlier run that still holds the file it
    /// wrote to writes nowhere now. Throws std::system_error when the system refuses a file.
    static void beginRun();
    /// Makes the run's streams over the file: standard output (buffered, as the `ruby`
    /// command's), standard error (every write at once) and standard input at its end.
    /// Raises what the runtime raises; call it protected.
    static void open();
    static VALUE output();
    static VALUE errors();
    static VALUE input();
    /// Writes out what waits in standard output's buffer, so that what reaches the file past
    /// it comes after it.
    static void flushOutput();
    /// Writes @p message to standard error past any `write` a script defined, up to its first
    /// NUL byte. Raises what the runtime raises; call it protected.
    static void writeMessage(VALUE message);
    /// Forgets the run's streams; the runtime's objects stay with the runtime.
    static void close();

    /// Keeps what the run wrote as its output, for readOutput() and outputBuffer(); puts it
    /// into @p lines when given and anything was written (else @p lines stays as it was).
    static void collect(LineList *lines);
    /// Drops what the run wrote (a stopped run's): its memory goes now if the system lets it.
    static void discard();
    /// Puts the last run's output into @p lines, as collect() would have.
    static void readOutput(LineList &lines);
    /// Everything the last run wrote, each write cut at its first NUL byte.
    static const std::string &outputBuffer();
    /// The line feeds written to the file so far in this run (not what waits in a buffer),
    /// counted on from the last call, at most a few megabytes a call.
    static std::size_t linesSoFar();

private:
    static VALUE newStream(int descriptor);
    /// Writes @p argc Strings into @p self's buffer when that is all its `write` would do
    /// (no NUL in them, no conversion set) and answers the bytes written; answers -1, having
    /// written nothing, otherwise.
    static long WritePlain(VALUE self, int argc, const VALUE *argv);
    static VALUE CaptureWrite(int argc, VALUE *argv, VALUE self);
    static VALUE CaptureUnbuffered(int argc, VALUE *argv, VALUE self);
    static VALUE CapturePuts(int argc, VALUE *argv, VALUE self);
    static VALUE CaptureMethodAdded(VALUE self, VALUE name);
};
