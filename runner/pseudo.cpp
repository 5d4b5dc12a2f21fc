#include "pseudo.h"

#include "capturefile.h"
#include "mainscript.h"
#include "rubies.h"
#include "runtimefaulthandlers.h"
#include "runtimestack.h"
#include "scriptwatch.h"

#include "platform/textbytes.h"

#include <ruby/encoding.h>
#include <ruby/io.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace {

// Process-wide capture state, kept between runs.
VALUE captureClass = Qnil; // Qnil until the first run creates it
VALUE environmentModule = Qnil;
VALUE exitBangClass = Qnil;
std::unique_ptr<CaptureFile> captureFile;
// The last run's output is the first collectedBytes bytes of the capture file, which keeps it
// until the next run begins; outputBuffer holds it once someone has asked for it.
std::uint64_t collectedBytes = 0;
std::string outputBuffer;
bool outputBufferRead = true;
bool outputWritten = false;  // a write of at least one byte happened in this run
bool writeRedefined = false; // a script gave the capture class a `write` of its own
VALUE lineBreak = Qnil;      // "\n", frozen, for CapturePuts
// How far OutputLinesSoFar has counted the capture file in this run.
std::uint64_t countedBytes = 0;
std::size_t countedLines = 0;

/// A run's own standard streams, made for it: whatever a script does to them (a `write` of its
/// own, `reopen`, `close`, `set_encoding`) ends with the run.
struct RunStreams
{
    VALUE output = Qnil; // $stdout and STDOUT: buffered, as the `ruby` command's
    VALUE errors = Qnil; // $stderr and STDERR: every write goes out at once
    VALUE input = Qnil;  // $stdin and STDIN: a real IO at its end
};
RunStreams current;

/// What a run changes and gives back; Qundef stands for a constant that was not defined.
struct SavedStreams
{
    VALUE in = Qnil;
    VALUE out = Qnil;
    VALUE err = Qnil;
    VALUE stdinConstant = Qundef;
    VALUE stdoutConstant = Qundef;
    VALUE stderrConstant = Qundef;
    VALUE dataConstant = Qundef;
    VALUE programName = Qnil;
    VALUE data = Qnil; // the DATA stream this run defined, if any
};
SavedStreams saved;

/// Holds a run's input text for as long as the ARGV Strings made from it live.
using TextOwner = std::shared_ptr<const std::string>;

struct Run
{
    const std::string *text;
    const LineList *params;
    const TextOwner *paramsText;
    const std::string *fileName;
    const std::string *data; // what follows __END__, or null
    ScriptSource source;
    VALUE error; // the error that ended the script, or nil
};

Run &runOf(VALUE run)
{
    // rb_protect hands its argument over as a VALUE.
    return *reinterpret_cast<Run *>(run); // NOLINT(performance-no-int-to-ptr)
}

VALUE runValue(Run &run)
{
    return reinterpret_cast<VALUE>(&run);
}

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

/// Length of the @p length bytes at @p bytes up to the first NUL byte: a piece of text ends
/// there, as a C string.
long lengthBeforeNul(const char *bytes, long length)
{
    return static_cast<long>(
        platform::beforeNul(std::string_view(bytes, static_cast<std::size_t>(length))).size());
}

/// What follows a line `__END__` of @p script, as the `ruby` command gives it to a script as
/// DATA (lines ending with LF); none when there is no such line.
std::unique_ptr<std::string> dataAfterEnd(const LineList &script)
{
    for (std::size_t i = 0; i < script.count(); ++i) {
        if (script[i] != "__END__")
            continue;
        auto data = std::make_unique<std::string>();
        for (std::size_t j = i + 1; j < script.count(); ++j)
            data->append(script[j]).push_back('\n');
        return data;
    }
    return nullptr;
}

/// Runs @p function under rb_protect and forgets what it raised; answers whether it returned.
bool protectedCall(VALUE (*function)(VALUE), VALUE argument)
{
    int state = 0;
    Rubies::protect(function, argument, &state);
    if (state)
        Rubies::clearErrinfo();
    return state == 0;
}

VALUE constantOrUndef(ID name)
{
    return rb_const_defined_at(rb_cObject, name) ? rb_const_get_at(rb_cObject, name) : Qundef;
}

/// Makes @p name a constant of Object with @p value (none for Qundef), without the runtime's
/// warning about a constant that is already defined.
void setConstant(ID name, VALUE value)
{
    if (rb_const_defined_at(rb_cObject, name))
        rb_const_remove(rb_cObject, name);
    if (value != Qundef)
        rb_const_set(rb_cObject, name, value);
}

ID id(const char *name)
{
    return rb_intern(name);
}

/// Whether @p error is reported in the output: exit and abort end a script quietly, and
/// internal jump data is no object to print.
bool isReported(VALUE error)
{
    return !NIL_P(error) && !RB_TYPE_P(error, T_IMEMO) &&
           !RTEST(rb_obj_is_kind_of(error, rb_eSystemExit));
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

/// A new capture stream of the runtime over @p descriptor, which it must never close: the
/// descriptor serves every run.
VALUE newCaptureStream(int descriptor)
{
    const VALUE fd = INT2FIX(descriptor);
#ifdef _WIN32
    // Every byte as it is written, as on a file elsewhere: on Windows an IO writes LF as CR LF
    // unless told otherwise, and a script's "a\r\n" would become two line breaks.
    const VALUE options = rb_hash_new();
    rb_hash_aset(options, ID2SYM(id("newline")), ID2SYM(id("universal")));
    const VALUE args[] = {fd, rb_str_new_cstr("w"), options};
    const VALUE stream = rb_class_new_instance_kw(3, args, captureClass, RB_PASS_KEYWORDS);
#else
    const VALUE args[] = {fd, rb_str_new_cstr("w")};
    const VALUE stream = rb_class_new_instance(2, args, captureClass);
#endif
    rb_funcall(stream, id("autoclose="), 1, Qfalse);
    return stream;
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

const std::string &Pseudo::OutputBuffer()
{
    // Read only when asked for: a large output is then not held twice.
    if (!outputBufferRead) {
        if (captureFile && collectedBytes > 0)
            appendCollectedOutput(outputBuffer);
        outputBufferRead = true;
    }
    return outputBuffer;
}

VALUE Pseudo::RunScript(const LineList &script, LineList &params, LineList *lines,
                        std::string_view fileName, ScriptSource source)
{
    // Everything that allocates on the C++ side happens outside the runtime's calls, so no
    // Ruby raise can skip a destructor.
    const std::string text = script.text();
    const std::string name = fileName.empty() ? std::string("-") : std::string(fileName);
    const std::unique_ptr<std::string> data = dataAfterEnd(script);
    outputBuffer.clear();
    outputBufferRead = true;
    collectedBytes = 0;
    outputWritten = false;
    countedBytes = 0;
    countedLines = 0;

    // Every run starts with an empty file; a child of an earlier run that still holds the
    // file it wrote to writes nowhere now.
    if (!captureFile)
        captureFile = std::make_unique<CaptureFile>();
    else
        captureFile->renew();
    if (NIL_P(captureClass) && !protectedCall([](VALUE) { return CreateCapture(), Qnil; }, Qnil))
        throw std::runtime_error("Could not create the stream capture object");

    // The runtime turns a machine-stack overflow into SystemStackError with these.
    const RuntimeFaultHandlers faultHandlers;
    const TextOwner paramsText = params.cStringText();
    Run run{&text, &params, &paramsText, &name, data.get(), source, Qnil};
    int state = 0;
    VALUE result = Rubies::protect(InstallCapture, runValue(run), &state);
    if (!state) {
        result = Rubies::protect(
            [](VALUE argument) { return ScriptWatch::runStoppable(Evaluate, argument); },
            runValue(run), &state);
    }
    if (state) {
        result = Qnil;
        run.error = Rubies::errinfo();
        Rubies::clearErrinfo();
    }
    if (result == Qundef)
        result = Qnil; // a forced stop ended the script
    protectedCall(Finish, runValue(run));
    // The last of what the script wrote may still wait in the stream's buffer.
    protectedCall([](VALUE output) { return flushPending(output), Qnil; }, current.output);
    if (wasStopped()) {
        // Nothing a stopped script started goes on: its children that still run are ended.
        protectedCall([](VALUE) { return rb_funcall(environmentModule, id("reap_children"), 0); },
                      Qnil);
    }
    RestoreStreams(Qnil);
    RB_GC_GUARD(run.error);
    if (wasStopped()) {
        // What a stopped script wrote is of no use to anyone: its memory goes now if it can,
        // else when the next run begins.
        outputWritten = false;
        try {
            captureFile->renew();
        } catch (const std::system_error &) {
        }
        return result;
    }
    CollectOutput(lines);
    return result;
}

bool Pseudo::wasStopped()
{
    const ScriptWatch *const watch = ScriptWatch::current();
    return watch && watch->stopRequested();
}

std::size_t Pseudo::OutputLinesSoFar()
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

void Pseudo::CreateCapture()
{
    environmentModule = rb_define_module("Korvex");
    rb_global_variable(&environmentModule);
    exitBangClass = rb_const_defined_at(environmentModule, id("ExitBang"))
                        ? rb_const_get_at(environmentModule, id("ExitBang"))
                        : rb_eSystemExit;
    rb_global_variable(&exitBangClass);
    ScriptWatch::prepare();

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

    // A script may assign the streams and constants; the saved values must survive until they
    // are restored.
    for (VALUE *value :
         {&current.output, &current.errors, &current.input, &saved.in, &saved.out, &saved.err,
          &saved.stdinConstant, &saved.stdoutConstant, &saved.stderrConstant, &saved.dataConstant,
          &saved.programName, &saved.data})
        rb_global_variable(value);
}

VALUE Pseudo::InstallCapture(VALUE runArgument)
{
    const Run &run = runOf(runArgument);
    saved.in = Rubies::stdinVar();
    saved.out = Rubies::stdoutVar();
    saved.err = Rubies::stderrVar();
    saved.stdinConstant = constantOrUndef(id("STDIN"));
    saved.stdoutConstant = constantOrUndef(id("STDOUT"));
    saved.stderrConstant = constantOrUndef(id("STDERR"));
    saved.dataConstant = constantOrUndef(id("DATA"));
    saved.programName = rb_gv_get("$0");
    saved.data = Qnil;

    current.output = newCaptureStream(captureFile->outputDescriptor());
    current.errors = newCaptureStream(captureFile->errorDescriptor());
    rb_funcall(current.errors, id("sync="), 1, Qtrue);
    // Standard input at its end, as under `ruby script.rb < /dev/null`: the editor's own
    // standard input is a terminal or nothing, and reading it would freeze the editor.
    current.input = rb_funcall(rb_cFile, id("open"), 1, rb_const_get(rb_cFile, id("NULL")));

    Rubies::stdinVar() = current.input;
    Rubies::stdoutVar() = current.output;
    Rubies::stderrVar() = current.errors;
    setConstant(id("STDIN"), current.input);
    setConstant(id("STDOUT"), current.output);
    setConstant(id("STDERR"), current.errors);
    // `__FILE__ == $0` holds in the script, as it does for the file `ruby` runs.
    ruby_set_script_name(rb_external_str_new_with_enc(
        run.fileName->data(), static_cast<long>(run.fileName->size()), rb_filesystem_encoding()));
    rb_ivar_set(environmentModule, id("@output"), current.output);
    rb_ivar_set(environmentModule, id("@errors"), current.errors);
    rb_ivar_set(environmentModule, id("@input"), current.input);
    rb_ivar_set(environmentModule, id("@at_exit_blocks"), rb_ary_new());
    rb_ivar_set(environmentModule, id("@children"), rb_ary_new());
    rb_ivar_set(environmentModule, id("@threads"), rb_funcall(rb_cThread, id("list"), 0));
    return Qnil;
}

VALUE Pseudo::RestoreStreams(VALUE)
{
    Rubies::stdinVar() = saved.in;
    Rubies::stdoutVar() = saved.out;
    Rubies::stderrVar() = saved.err;
    protectedCall(
        [](VALUE) {
            for (const char *name : {"@output", "@errors", "@input", "@at_exit_blocks", "@children",
                                     "@child_job", "@threads"})
                rb_ivar_set(environmentModule, id(name), Qnil);
            return Qnil;
        },
        Qnil);
    protectedCall(
        [](VALUE) {
            setConstant(id("STDIN"), saved.stdinConstant);
            setConstant(id("STDOUT"), saved.stdoutConstant);
            setConstant(id("STDERR"), saved.stderrConstant);
            return Qnil;
        },
        Qnil);
    protectedCall(
        [](VALUE) {
            // Only this run's DATA goes; one the script made itself stays.
            if (!NIL_P(saved.data) && constantOrUndef(id("DATA")) == saved.data)
                setConstant(id("DATA"), saved.dataConstant);
            return Qnil;
        },
        Qnil);
    protectedCall(
        [](VALUE) {
            if (RB_TYPE_P(saved.programName, T_STRING))
                ruby_set_script_name(saved.programName);
            return Qnil;
        },
        Qnil);
    protectedCall([](VALUE input) { return rb_io_close(input); }, current.input);
    saved = SavedStreams{};
    current = RunStreams{};
    return Qnil;
}

VALUE Pseudo::Evaluate(VALUE runArgument)
{
    const Run &run = runOf(runArgument);
    SetArgv(*run.params, *run.paramsText);
    if (run.data) {
        rb_require("stringio");
        const VALUE text = rb_enc_str_new(run.data->data(), static_cast<long>(run.data->size()),
                                          rb_locale_encoding());
        saved.data = rb_funcall(rb_path2class("StringIO"), id("new"), 1, text);
        setConstant(id("DATA"), saved.data);
    }
    // A String in the coding the `ruby` command compiles the script in: a typed script's
    // literals carry the host's coding, as under `ruby -e`; a file's are UTF-8 unless its magic
    // comment says otherwise. Run as a main file is: its path is the base of `require_relative`.
    const VALUE source = rb_enc_str_new(run.text->data(), static_cast<long>(run.text->size()),
                                        run.source == ScriptSource::File ? rb_utf8_encoding()
                                                                         : rb_locale_encoding());
    const VALUE file = rb_external_str_new_with_enc(
        run.fileName->data(), static_cast<long>(run.fileName->size()), rb_filesystem_encoding());
    const VALUE realPath = *run.fileName == "-" ? Qnil : file;
    return MainScript::run(source, file, realPath);
}

VALUE Pseudo::Finish(VALUE runArgument)
{
    const Run &run = runOf(runArgument);
    // at_exit blocks run last first, as at the end of a `ruby` process, before the error that
    // ended the script is reported; exit! skips them, and so does a Stop, which is to end the
    // script, not to start more of it.
    const bool skipAtExit = RTEST(rb_obj_is_kind_of(run.error, exitBangClass)) || wasStopped();
    const VALUE blocks = rb_ivar_get(environmentModule, id("@at_exit_blocks"));
    while (RB_TYPE_P(blocks, T_ARRAY) && RARRAY_LEN(blocks) > 0) {
        const VALUE block = rb_ary_pop(blocks);
        if (skipAtExit)
            continue;
        int state = 0;
        Rubies::protect(
            [](VALUE proc) {
                return ScriptWatch::runStoppable(
                    [](VALUE stoppable) { return rb_funcall(stoppable, id("call"), 0); }, proc);
            },
            block, &state);
        if (state) {
            const VALUE error = Rubies::errinfo();
            Rubies::clearErrinfo();
            WriteError(error);
        }
    }
    // Then the threads it started end, before the error is reported, as in `ruby`.
    int state = 0;
    Rubies::protect(
        [](VALUE) {
            return rb_funcall(environmentModule, id("end_threads"), 1,
                              rb_ivar_get(environmentModule, id("@threads")));
        },
        Qnil, &state);
    if (state)
        Rubies::clearErrinfo();
    WriteError(run.error);
    return Qnil;
}

namespace {

/// Length of @p line up to its first NUL byte: an argument is a C string.
long argumentLength(std::string_view line)
{
    return lengthBeforeNul(line.data(), static_cast<long>(line.size()));
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
    // element does, whatever becomes of the list. In that text every line is followed by a
    // NUL byte, as every String the runtime makes is: code that reads one as a C string stops
    // at its end.
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
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view line = params[i];
        // A line holding a NUL is cut there, as a C string would be.
        const long length = argumentLength(line);
        const long offset = static_cast<long>(line.data() - text->data());
        VALUE arg = Qnil;
        if (length <= RSTRING_EMBED_LEN_MAX) {
            arg = rb_str_subseq(all, offset, length); // held in the object itself
        } else {
            // What rb_str_subseq does for a substring at the end of its String, for every line.
            arg = rb_str_new_shared(all);
            RSTRING(arg)->as.heap.ptr += offset;
            RSTRING(arg)->as.heap.len = length;
            ENC_CODERANGE_CLEAR(arg);
        }
        OBJ_FREEZE(arg);
        rb_ary_push(argv, arg);
    }
    RB_GC_GUARD(all);
}

void Pseudo::ReleaseArguments()
{
    // Lines as many as this cost the runtime more than a collection does.
    constexpr long ManyArguments = 100'000;
    RuntimeStack::call([] {
        protectedCall(
            [](VALUE argv) {
                const bool many = RARRAY_LEN(argv) >= ManyArguments;
                rb_ary_clear(argv);
                if (many)
                    rb_gc();
                return Qnil;
            },
            Rubies::argv());
    });
}

void Pseudo::WriteError(VALUE error)
{
    if (!isReported(error))
        return;
    // The message as the exception turns into a string, no class name, no backtrace, on the
    // standard error stream as the `ruby` command reports it, past any `write` a script
    // defined.
    protectedCall(
        [](VALUE exception) {
            const VALUE message = rb_obj_as_string(exception);
            const long length = RSTRING_LEN(message);
            const long kept = lengthBeforeNul(RSTRING_PTR(message), length);
            flushPending(current.output);
            if (kept > 0)
                rb_io_bufwrite(current.errors, RSTRING_PTR(message), static_cast<size_t>(kept));
            outputWritten = outputWritten || length > 0;
            return Qnil;
        },
        error);
}

void Pseudo::CollectOutput(LineList *lines)
{
    collectedBytes = captureFile->size();
    outputBufferRead = false;
    if (lines)
        ReadOutput(*lines);
}

void Pseudo::ReadOutput(LineList &outputLines)
{
    if (!captureFile || !(outputWritten || collectedBytes > 0))
        return;
    // Read once, into the storage the lines keep, with room for lone line breaks to become
    // CR LF in place (lines of 16 bytes or more need no more; shorter ones get it then).
    const auto size = static_cast<std::size_t>(collectedBytes);
    std::string text;
    text.reserve(size + size / 16 + 2);
    appendCollectedOutput(text);
    outputLines.adoptText(std::move(text));
}

long Pseudo::WritePlain(VALUE self, int argc, const VALUE *argv)
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
    if (self != current.output)
        flushPending(current.output);
    // What IO#write does then, without looking the method up again for every write.
    for (int i = 0; i < argc; ++i)
        rb_io_bufwrite(self, RSTRING_PTR(argv[i]), static_cast<size_t>(RSTRING_LEN(argv[i])));
    outputWritten = outputWritten || total > 0;
    return total;
}

KORVEX_LEFT_BY_RAISE VALUE Pseudo::CaptureWrite(int argc, VALUE *argv, VALUE self)
{
    if (const long written = WritePlain(self, argc, argv); written >= 0)
        return LONG2NUM(written);
    if (self != current.output)
        flushPending(current.output);
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

KORVEX_LEFT_BY_RAISE VALUE Pseudo::CapturePuts(int argc, VALUE *argv, VALUE self)
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
            rb_funcallv(self, id("write"), count, pieces);
    }
    return Qnil;
}

KORVEX_LEFT_BY_RAISE VALUE Pseudo::CaptureMethodAdded(VALUE, VALUE name)
{
    if (SYM2ID(name) == id("write"))
        writeRedefined = true;
    return Qnil;
}

KORVEX_LEFT_BY_RAISE VALUE Pseudo::CaptureUnbuffered(int argc, VALUE *argv, VALUE)
{
    flushPending(current.output);
    return rb_call_super(argc, argv);
}
