#include "pseudo.h"

#include "linesplitter.h"
#include "rubies.h"

#include <ruby/encoding.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <memory>
#include <stdexcept>
#include <unistd.h>
#include <utility>

namespace {

// Process-wide capture state, kept between runs.
VALUE captureClass = Qnil;
VALUE captureObject = Qnil; // Qnil until the first run creates class and object
VALUE savedStdin = Qnil;
VALUE savedStdout = Qnil;
VALUE savedStderr = Qnil;
std::string outputBuffer;
LineList *outputLines = nullptr;
// Mirrors outputBuffer into *outputLines incrementally: re-splitting the whole buffer on
// every write made long outputs cost quadratic time.
LineSplitter outputSplitter;
bool outputLinesSynced = false; // *outputLines already holds the split of outputBuffer
// A filter writes about as much as it reads: room for that much output is reserved up front,
// so a large output is not copied again and again while the buffers grow.
std::size_t expectedLines = 0;
std::size_t expectedBytes = 0;
// A failure of our own code inside a write; the script is ended and this is rethrown.
std::exception_ptr pluginFailure;

/// Holds a run's input text for as long as the ARGV Strings made from it live.
using TextOwner = std::shared_ptr<const std::string>;

struct Run
{
    const std::string *text;
    const LineList *params;
    const TextOwner *paramsText;
};

void freeTextOwner(void *owner)
{
    std::destroy_at(static_cast<TextOwner *>(owner));
    ruby_xfree(owner);
}

std::size_t textOwnerSize(const void *owner)
{
    const TextOwner &text = *static_cast<const TextOwner *>(owner);
    return text ? text->size() : 0;
}

const rb_data_type_t textOwnerType = {
    "Korvex::InputText",
    {nullptr, freeTextOwner, textOwnerSize, nullptr, {}},
    nullptr,
    nullptr,
    RUBY_TYPED_FREE_IMMEDIATELY,
};

/// Reads one byte of the process's standard input; false at its end or when it can't be read.
bool readStdinByte(unsigned char &byte)
{
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, &byte, 1);
        if (n == 1)
            return true;
        if (n < 0 && errno == EINTR)
            continue;
        return false;
    }
}

} // namespace

/// Puts the saved standard streams back when a run ends, whichever way it ends.
class RestoreStreamsOnExit
{
public:
    RestoreStreamsOnExit() = default;
    ~RestoreStreamsOnExit() { Pseudo::RestoreStreams(); }
    RestoreStreamsOnExit(const RestoreStreamsOnExit &) = delete;
    RestoreStreamsOnExit &operator=(const RestoreStreamsOnExit &) = delete;
};

const std::string &Pseudo::OutputBuffer()
{
    return outputBuffer;
}

VALUE Pseudo::RunScript(const LineList &script, const LineList &params, LineList *lines)
{
    // Everything that allocates on the C++ side happens before the runtime is entered, so no
    // Ruby raise can skip a destructor.
    const std::string text = script.text();
    expectedLines = params.count();
    expectedBytes = params.textLength() - 2 * params.count();
    outputBuffer.reserve(params.textLength());

    if (NIL_P(captureObject)) {
        int state = 0;
        rb_protect(
            [](VALUE) -> VALUE {
                CreateCapture();
                return Qnil;
            },
            Qnil, &state);
        if (state) {
            Rubies::clearErrinfo();
            throw std::runtime_error("Could not create the stream capture object");
        }
    }

    InstallCapture();
    const RestoreStreamsOnExit restore;
    outputBuffer.clear();
    outputLines = lines;
    outputLinesSynced = false;
    pluginFailure = nullptr;

    const TextOwner paramsText = params.sharedText();
    Run run{&text, &params, &paramsText};
    int state = 0;
    VALUE result = rb_protect(Evaluate, reinterpret_cast<VALUE>(&run), &state);
    if (state) {
        result = Qnil;
        const VALUE error = Rubies::errinfo();
        // Internal jump data is no object to print; a failure of ours is rethrown below.
        if (!pluginFailure && !NIL_P(error) && !RB_TYPE_P(error, T_IMEMO)) {
            int writeState = 0;
            rb_protect(WriteError, error, &writeState);
        }
        Rubies::clearErrinfo();
    }
    outputLines = nullptr;
    if (pluginFailure)
        std::rethrow_exception(std::exchange(pluginFailure, nullptr));
    return result;
}

VALUE Pseudo::Evaluate(VALUE runValue)
{
    // rb_protect hands its argument over as a VALUE.
    const Run *run = reinterpret_cast<const Run *>(runValue); // NOLINT(performance-no-int-to-ptr)
    SetArgv(*run->params, *run->paramsText);
    // Compiled from a String in the locale's encoding, so that the script's literals carry
    // the host's coding, as they do under the `ruby` command.
    const VALUE source = rb_enc_str_new(run->text->data(), static_cast<long>(run->text->size()),
                                        rb_locale_encoding());
    const VALUE binding = rb_const_get(rb_cObject, rb_intern("TOPLEVEL_BINDING"));
    return rb_funcall(rb_mKernel, rb_intern("eval"), 4, source, binding, rb_str_new_cstr("(eval)"),
                      INT2FIX(1));
}

namespace {

/// Length of @p line up to its first NUL byte: an argument is a C string.
long argumentLength(std::string_view line)
{
    const void *nul = std::memchr(line.data(), '\0', line.size());
    return static_cast<long>(nul ? static_cast<const char *>(nul) - line.data() : line.size());
}

} // namespace

void Pseudo::SetArgv(const LineList &params, const std::shared_ptr<const std::string> &paramsText)
{
    // What `ruby_set_argv` does with C strings, without copying the lines.
    const VALUE argv = Rubies::argv();
    const std::size_t count = params.count();
    if (count == 0)
        return;
    rb_encoding *const external = rb_default_external_encoding();
    rb_encoding *const internal = rb_default_internal_encoding();
    if ((internal && internal != external) || external == rb_usascii_encoding()) {
        // Arguments get transcoded or re-tagged per line here; leave that to the runtime.
        for (std::size_t i = 0; i < count; ++i) {
            const std::string_view line = params[i];
            const VALUE arg = rb_external_str_new(line.data(), argumentLength(line));
            OBJ_FREEZE(arg);
            rb_ary_push(argv, arg);
        }
        return;
    }
    // The elements are frozen substrings of one frozen String over the list's own text,
    // shared, not copied: a million lines then cost neither a million allocations nor a copy
    // of the text. That String owns a share of the text, so the text lives as long as any
    // element does, whatever becomes of the list.
    const std::string *const text = paramsText.get();
    // Hidden (no class), so no script can reach it through ObjectSpace. Its memory is the
    // runtime's own, like the object's; copying the shared pointer into it cannot fail.
    TextOwner *share = nullptr;
    const VALUE owner = TypedData_Make_Struct(0, TextOwner, &textOwnerType, share);
    std::construct_at(share, paramsText);
    VALUE all = rb_str_new_static(text->data(), static_cast<long>(text->size()));
    rb_ivar_set(all, rb_intern("korvex_text_owner"), owner);
    rb_enc_associate(all, external);
    OBJ_FREEZE(all);
    // A line holding a NUL is cut there, as a C string would be.
    const bool hasNul = text->find('\0') != std::string::npos;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view line = params[i];
        const long length = hasNul ? argumentLength(line) : static_cast<long>(line.size());
        const VALUE arg = rb_str_subseq(all, line.data() - text->data(), length);
        OBJ_FREEZE(arg);
        rb_ary_push(argv, arg);
    }
    RB_GC_GUARD(all);
}

VALUE Pseudo::WriteError(VALUE error)
{
    return CaptureWrite(1, &error, captureObject);
}

void Pseudo::CreateCapture()
{
    captureClass = rb_class_new(Rubies::ioClass());
    rb_global_variable(&captureClass);
    // Public, so that `$stdout.write("x")` works; takes any number of arguments so that
    // `puts` and `p` write a line and its break in one call.
    rb_define_method(captureClass, "write", CaptureWrite, -1);
    rb_define_module_function(captureClass, "gets", CaptureGets, 0);
    rb_define_module_function(captureClass, "getc", CaptureGetc, 0);
    // What an output stream needs for ordinary scripts. The inherited IO versions would find
    // no file behind the object (flush even recursed until the stack ran out).
    rb_define_method(captureClass, "flush", CaptureSelf, 0);
    rb_define_method(captureClass, "sync", CaptureTrue, 0);
    rb_define_method(captureClass, "sync=", CaptureSetSync, 1);
    rb_define_method(captureClass, "fileno", CaptureNil, 0);
    rb_define_method(captureClass, "tty?", CaptureFalse, 0);
    rb_define_method(captureClass, "isatty", CaptureFalse, 0);
    captureObject = rb_data_object_wrap(captureClass, nullptr, nullptr, nullptr);
    rb_global_variable(&captureObject);
    // A script may assign `$stdout` and friends; the saved values must survive until restored.
    rb_global_variable(&savedStdin);
    rb_global_variable(&savedStdout);
    rb_global_variable(&savedStderr);
}

void Pseudo::InstallCapture()
{
    savedStdin = Rubies::stdinVar();
    savedStdout = Rubies::stdoutVar();
    savedStderr = Rubies::stderrVar();
    Rubies::stdinVar() = captureObject;
    Rubies::stdoutVar() = captureObject;
    Rubies::stderrVar() = captureObject;
}

void Pseudo::RestoreStreams()
{
    Rubies::stdinVar() = savedStdin;
    Rubies::stdoutVar() = savedStdout;
    Rubies::stderrVar() = savedStderr;
}

bool Pseudo::AppendOutput(const char *bytes, long length) noexcept
{
    try {
        // The text ends at its first NUL byte.
        const std::string_view piece(bytes, ::strnlen(bytes, static_cast<std::size_t>(length)));
        outputBuffer.append(piece);
        if (outputLines) {
            if (!outputLinesSynced) {
                // Until the first non-empty write the caller's list stays as it was handed in;
                // the buffer is still empty then.
                outputLines->clear();
                outputLines->reserve(expectedLines, expectedBytes);
                outputSplitter.reset();
                outputLinesSynced = true;
            }
            outputSplitter.feed(piece, *outputLines);
        }
        return true;
    } catch (...) {
        pluginFailure = std::current_exception();
        return false;
    }
}

VALUE Pseudo::CaptureWrite(int argc, VALUE *argv, VALUE)
{
    long total = 0;
    for (int i = 0; i < argc; ++i) {
        VALUE text = argv[i];
        if (!RB_TYPE_P(text, T_STRING))
            text = rb_obj_as_string(text);
        const long length = RSTRING_LEN(text);
        total += length;
        if (length != 0 && !AppendOutput(RSTRING_PTR(text), length))
            rb_raise(rb_eFatal, "Korvex could not store the script's output");
    }
    return LONG2NUM(total);
}

VALUE Pseudo::CaptureGets(VALUE)
{
    // LF or CR LF ends a line, a lone CR is dropped, the end of input ends the last line.
    // The line is collected in a Ruby String: a raise here must skip no C++ destructor.
    const VALUE line = rb_str_buf_new(80);
    unsigned char byte = 0;
    while (readStdinByte(byte) && byte != '\n') {
        if (byte != '\r')
            rb_str_cat(line, reinterpret_cast<const char *>(&byte), 1);
    }
    VALUE result = Qnil;
    if (RSTRING_LEN(line) != 0 && RSTRING_PTR(line)[0] != '\x04') {
        rb_str_cat(line, "\n", 1);
        // Read as `ruby` reads its standard input: in the default external encoding.
        rb_enc_associate(line, rb_default_external_encoding());
        result = line;
    }
    rb_lastline_set(result);
    return result;
}

VALUE Pseudo::CaptureGetc(VALUE)
{
    unsigned char byte = 0;
    if (!readStdinByte(byte))
        return INT2FIX(26); // the end of input reads as Ctrl-Z
    return byte == 0 ? Qnil : INT2FIX(byte);
}

VALUE Pseudo::CaptureSelf(VALUE self)
{
    return self;
}

VALUE Pseudo::CaptureTrue(VALUE)
{
    return Qtrue; // every write goes straight to the buffer
}

VALUE Pseudo::CaptureFalse(VALUE)
{
    return Qfalse;
}

VALUE Pseudo::CaptureNil(VALUE)
{
    return Qnil;
}

VALUE Pseudo::CaptureSetSync(VALUE, VALUE sync)
{
    return sync;
}
