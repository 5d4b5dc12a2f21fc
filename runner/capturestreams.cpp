#include "capturestreams.h"

#include "capturefile.h"
#include "rubies.h"

#include "platform/textbytes.h"

#include <ruby/encoding.h>
#include <ruby/io.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <system_error>
#include <utility>

namespace {

VALUE captureClass = Qnil; // Qnil until prepare() made it
std::unique_ptr<CaptureFile> captureFile;
// The run's streams; nil between runs.
VALUE runOutput = Qnil;
VALUE runErrors = Qnil;
VALUE runInput = Qnil;
// The last run's output is the first collectedBytes bytes of the capture file, which keeps it
// until the next run begins; outputText holds it once someone has asked for it.
std::uint64_t collectedBytes = 0;
std::string outputText;
bool outputBufferRead = true;
bool outputWritten = false;  // a write of at least one byte happened in this run
bool writeRedefined = false; // a script gave the capture class a `write` of its own
VALUE lineBreak = Qnil;      // "\n", frozen, for CapturePuts
// How far linesSoFar() has counted the capture file in this run.
std::uint64_t countedBytes = 0;
std::size_t countedLines = 0;

/// Length of the @p length bytes at @p bytes up to the first NUL byte: a piece of text ends
/// there, as a C string.
long lengthBeforeNul(const char *bytes, long length)
{
    return static_cast<long>(
        platform::beforeNul(std::string_view(bytes, static_cast<std::size_t>(length))).size());
}

/// Writes out what waits in the buffer of @p io, an open IO of the runtime: whatever reaches
/// the capture file past that buffer (another stream, a child, `syswrite`) must come after it.
void flushPending(VALUE io)
{
    const rb_io_t *file = RB_TYPE_P(io, T_FILE) ? RFILE(io)->fptr : nullptr;
    if (file && file->fd >= 0 && file->wbuf.len > 0)
        rb_io_flush(io);
}

/// Whether IO#write would convert what is written to @p file (an encoding or newline
/// conversion a script asked for); without one, the bytes go into its buffer as they are.
bool convertsWrites(const rb_io_t *file)
{
    // The universal newline decorator changes nothing that is written.
    return file->encs.enc != nullptr || file->encs.enc2 != nullptr ||
           (file->mode & FMODE_TEXTMODE) != 0 ||
           (file->encs.ecflags & ~ECONV_UNIVERSAL_NEWLINE_DECORATOR) != 0;
}

/// Appends the last run's output to @p text, without its NUL bytes: what went past `write` (a
/// child's output, `syswrite`) may hold them, and a text cannot.
void appendCollectedOutput(std::string &text)
{
    const std::size_t start = text.size();
    captureFile->appendContents(text, collectedBytes);
    const auto from = text.begin() + static_cast<std::ptrdiff_t>(start);
    if (std::find(from, text.end(), '\0') != text.end())
        text.erase(std::remove(from, text.end(), '\0'), text.end());
}

} // namespace

void CaptureStreams::prepare()
{
    // Its objects are real IOs of the runtime over the capture file, so every IO method finds a
    // file behind them; only the ways into the file past a stream's buffer are its own.
    captureClass = rb_class_new(Rubies::ioClass());
    rb_global_variable(&captureClass);
    // Public, so that `$stdout.write("x")` works; takes any number of arguments so that
    // `puts` and `p` write a line and its break in one call.
    rb_define_method(captureClass, "write", CaptureWrite, -1);
    for (const char *unbuffered : {"syswrite", "write_nonblock", "pwrite"})
        rb_define_method(captureClass, unbuffered, CaptureUnbuffered, -1);
    // IO#puts reaches `write` through a method call per line; this one writes each line itself
    // while `write` is still ours, the common case, and leaves everything else to IO#puts.
    rb_define_method(captureClass, "puts", CapturePuts, -1);
    rb_define_singleton_method(captureClass, "method_added", CaptureMethodAdded, 1);
    lineBreak = rb_obj_freeze(rb_str_new_static("\n", 1));
    rb_global_variable(&lineBreak);
    for (VALUE *stream : {&runOutput, &runErrors, &runInput})
        rb_global_variable(stream);
}

bool CaptureStreams::isPrepared()
{
    return !NIL_P(captureClass);
}

void CaptureStreams::beginRun()
{
    outputText.clear();
    outputBufferRead = true;
    collectedBytes = 0;
    outputWritten = false;
    countedBytes = 0;
    countedLines = 0;
    if (!captureFile)
        captureFile = std::make_unique<CaptureFile>();
    else
        captureFile->renew();
}

VALUE CaptureStreams::newStream(int descriptor)
{
    const VALUE fd = INT2FIX(descriptor);
    const VALUE args[] = {fd, rb_str_new_cstr("w"), rb_hash_new()};
    if (CaptureFile::translatesLineBreaks()) {
        // Every byte as it is written, as on a file elsewhere: a script's "a\r\n" would
        // become two line breaks.
        rb_hash_aset(args[2], ID2SYM(rb_intern("newline")), ID2SYM(rb_intern("universal")));
    }
    // Never closed by the runtime: the descriptor serves every run.
    const VALUE stream = rb_class_new_instance_kw(3, args, captureClass, RB_PASS_KEYWORDS);
    rb_funcall(stream, rb_intern("autoclose="), 1, Qfalse);
    return stream;
}

void CaptureStreams::open()
{
    runOutput = newStream(captureFile->outputDescriptor());
    runErrors = newStream(captureFile->errorDescriptor());
    rb_funcall(runErrors, rb_intern("sync="), 1, Qtrue);
    // Standard input at its end, as under `ruby script.rb < /dev/null`: the editor's own
    // standard input is a terminal or nothing, and reading it would freeze the editor.
    runInput =
        rb_funcall(rb_cFile, rb_intern("open"), 1, rb_const_get(rb_cFile, rb_intern("NULL")));
}

VALUE CaptureStreams::output()
{
    return runOutput;
}

VALUE CaptureStreams::errors()
{
    return runErrors;
}

VALUE CaptureStreams::input()
{
    return runInput;
}

void CaptureStreams::flushOutput()
{
    flushPending(runOutput);
}

void CaptureStreams::writeMessage(VALUE message)
{
    const long length = RSTRING_LEN(message);
    const long kept = lengthBeforeNul(RSTRING_PTR(message), length);
    flushPending(runOutput);
    if (kept > 0)
        rb_io_bufwrite(runErrors, RSTRING_PTR(message), static_cast<size_t>(kept));
    outputWritten = outputWritten || length > 0;
}

void CaptureStreams::close()
{
    runOutput = Qnil;
    runErrors = Qnil;
    runInput = Qnil;
}

void CaptureStreams::collect(LineList *lines)
{
    collectedBytes = captureFile->size();
    outputBufferRead = false;
    if (lines)
        readOutput(*lines);
}

void CaptureStreams::discard()
{
    outputWritten = false;
    try {
        captureFile->renew();
    } catch (const std::system_error &) {
        // Then it goes when the next run begins.
    }
}

void CaptureStreams::readOutput(LineList &lines)
{
    if (!captureFile || !(outputWritten || collectedBytes > 0))
        return;
    // Read once, into the storage the lines keep, with room for lone line breaks to become
    // CR LF in place (lines of 16 bytes or more need no more; shorter ones get it then).
    const auto size = static_cast<std::size_t>(collectedBytes);
    std::string text;
    text.reserve(size + size / 16 + 2);
    appendCollectedOutput(text);
    lines.adoptText(std::move(text));
}

const std::string &CaptureStreams::outputBuffer()
{
    // Read only when asked for: a large output is then not held twice.
    if (!outputBufferRead) {
        if (captureFile && collectedBytes > 0)
            appendCollectedOutput(outputText);
        outputBufferRead = true;
    }
    return outputText;
}

std::size_t CaptureStreams::linesSoFar()
{
    if (!captureFile)
        return 0;
    // Counted from where the last call stopped, a bounded share at a time, so that a call
    // costs little however much the script writes.
    constexpr std::size_t MaximumBytesPerCall = std::size_t(8) << 20;
    char chunk[65536];
    std::size_t read = 0;
    while (read < MaximumBytesPerCall) {
        const std::size_t n = captureFile->readAt(countedBytes, chunk, sizeof chunk);
        if (n == 0)
            break;
        countedLines += static_cast<std::size_t>(std::count(chunk, chunk + n, '\n'));
        countedBytes += n;
        read += n;
    }
    return countedLines;
}

long CaptureStreams::WritePlain(VALUE self, int argc, const VALUE *argv)
{
    long total = 0;
    for (int i = 0; i < argc; ++i) {
        if (!RB_TYPE_P(argv[i], T_STRING) ||
            std::memchr(RSTRING_PTR(argv[i]), '\0', static_cast<size_t>(RSTRING_LEN(argv[i]))))
            return -1;
        total += RSTRING_LEN(argv[i]);
    }
    const rb_io_t *file = RFILE(self)->fptr;
    if (!file || convertsWrites(file))
        return -1;
    if (self != runOutput)
        flushPending(runOutput);
    // What IO#write does then, without looking the method up again for every write.
    for (int i = 0; i < argc; ++i)
        rb_io_bufwrite(self, RSTRING_PTR(argv[i]), static_cast<size_t>(RSTRING_LEN(argv[i])));
    outputWritten = outputWritten || total > 0;
    return total;
}

KORVEX_LEFT_BY_RAISE VALUE CaptureStreams::CaptureWrite(int argc, VALUE *argv, VALUE self)
{
    if (const long written = WritePlain(self, argc, argv); written >= 0)
        return LONG2NUM(written);
    if (self != runOutput)
        flushPending(runOutput);
    // Each piece of text ends at its first NUL byte, as a C string does; the count answered
    // is of every byte.
    long total = 0;
    bool plain = true;
    for (int i = 0; i < argc && plain; ++i)
        plain = RB_TYPE_P(argv[i], T_STRING) &&
                !std::memchr(RSTRING_PTR(argv[i]), '\0', static_cast<size_t>(RSTRING_LEN(argv[i])));
    if (plain) {
        for (int i = 0; i < argc; ++i)
            total += RSTRING_LEN(argv[i]);
        rb_call_super(argc, argv);
    } else {
        for (int i = 0; i < argc; ++i) {
            VALUE text = argv[i];
            if (!RB_TYPE_P(text, T_STRING))
                text = rb_obj_as_string(text);
            const long length = RSTRING_LEN(text);
            total += length;
            const long kept = lengthBeforeNul(RSTRING_PTR(text), length);
            if (kept < length)
                text = rb_str_subseq(text, 0, kept);
            if (kept > 0)
                rb_call_super(1, &text);
        }
    }
    outputWritten = outputWritten || total > 0;
    return LONG2NUM(total);
}

KORVEX_LEFT_BY_RAISE VALUE CaptureStreams::CapturePuts(int argc, VALUE *argv, VALUE self)
{
    // A `write` of the script's own, on the stream or its class, must hear every line.
    if (argc == 0 || writeRedefined || FL_TEST(RBASIC_CLASS(self), FL_SINGLETON))
        return rb_call_super(argc, argv);
    for (int i = 0; i < argc; ++i) {
        VALUE line = argv[i];
        if (!RB_TYPE_P(line, T_STRING)) {
            // Arrays are printed element by element, recursion guarded: IO#puts does that.
            if (!NIL_P(rb_check_array_type(line)))
                return rb_call_super(argc - i, argv + i);
            line = rb_obj_as_string(line);
        }
        const long length = RSTRING_LEN(line);
        if (!rb_enc_asciicompat(rb_enc_get(line)))
            return rb_call_super(argc - i, argv + i);
        VALUE pieces[2] = {line, lineBreak};
        const int count = length > 0 && RSTRING_PTR(line)[length - 1] == '\n' ? 1 : 2;
        if (WritePlain(self, count, pieces) < 0)
            rb_funcallv(self, rb_intern("write"), count, pieces);
    }
    return Qnil;
}

KORVEX_LEFT_BY_RAISE VALUE CaptureStreams::CaptureMethodAdded(VALUE, VALUE name)
{
    if (SYM2ID(name) == rb_intern("write"))
        writeRedefined = true;
    return Qnil;
}

KORVEX_LEFT_BY_RAISE VALUE CaptureStreams::CaptureUnbuffered(int argc, VALUE *argv, VALUE)
{
    flushPending(runOutput);
    return rb_call_super(argc, argv);
}
