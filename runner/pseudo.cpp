#include "pseudo.h"

#include "capturestreams.h"
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

// Process-wide, kept between runs.
VALUE environmentModule = Qnil;
VALUE exitBangClass = Qnil;

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

} // namespace

const std::string &Pseudo::OutputBuffer()
{
    return CaptureStreams::outputBuffer();
}

VALUE Pseudo::RunScript(const LineList &script, LineList &params, LineList *lines,
                        std::string_view fileName, ScriptSource source)
{
    // Everything that allocates on the C++ side happens outside the runtime's calls, so no
    // Ruby raise can skip a destructor.
    const std::string text = script.text();
    const std::string name = fileName.empty() ? std::string("-") : std::string(fileName);
    const std::unique_ptr<std::string> data = dataAfterEnd(script);
    CaptureStreams::beginRun();
    if (!CaptureStreams::isPrepared() &&
        !protectedCall([](VALUE) { return CreateCapture(), Qnil; }, Qnil))
        throw std::runtime_error("Could not create the stream capture object");

    // The runtime turns a machine-stack overflow into SystemStackError with these.
    const RuntimeFaultHandlers faultHandlers;
    const TextOwner paramsText = params.cStringText();
    Run run{&text, &params, &paramsText, &name, data.get(), source, Qnil};
    const VALUE result = Execute(runValue(run));
    EndRun(runValue(run));
    RB_GC_GUARD(run.error);
    if (wasStopped())
        CaptureStreams::discard(); // what a stopped script wrote is of no use to anyone
    else
        CaptureStreams::collect(lines);
    return result;
}

VALUE Pseudo::Execute(VALUE runArgument)
{
    Run &run = runOf(runArgument);
    int state = 0;
    VALUE result = Rubies::protect(InstallCapture, runArgument, &state);
    if (!state) {
        result = Rubies::protect(
            [](VALUE argument) { return ScriptWatch::runStoppable(Evaluate, argument); },
            runArgument, &state);
    }
    if (state) {
        result = Qnil;
        run.error = Rubies::errinfo();
        Rubies::clearErrinfo();
    }
    return result == Qundef ? Qnil : result; // Qundef: a forced stop ended the script
}

void Pseudo::EndRun(VALUE runArgument)
{
    protectedCall(Finish, runArgument);
    // The last of what the script wrote may still wait in the stream's buffer.
    protectedCall([](VALUE) { return CaptureStreams::flushOutput(), Qnil; }, Qnil);
    if (wasStopped()) {
        // Nothing a stopped script started goes on: its children that still run are ended.
        protectedCall([](VALUE) { return rb_funcall(environmentModule, id("reap_children"), 0); },
                      Qnil);
    }
    RestoreStreams(Qnil);
}

bool Pseudo::wasStopped()
{
    const ScriptWatch *const watch = ScriptWatch::current();
    return watch && watch->stopRequested();
}

std::size_t Pseudo::OutputLinesSoFar()
{
    return CaptureStreams::linesSoFar();
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

    CaptureStreams::prepare();

    // A script may assign the streams and constants; the saved values must survive until they
    // are restored.
    for (VALUE *value :
         {&saved.in, &saved.out, &saved.err, &saved.stdinConstant, &saved.stdoutConstant,
          &saved.stderrConstant, &saved.dataConstant, &saved.programName, &saved.data})
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

    // The run's own streams: whatever a script does to them (a `write` of its own, `reopen`,
    // `close`, `set_encoding`) ends with the run.
    CaptureStreams::open();
    const VALUE output = CaptureStreams::output();
    const VALUE errors = CaptureStreams::errors();
    const VALUE input = CaptureStreams::input();
    Rubies::stdinVar() = input;
    Rubies::stdoutVar() = output;
    Rubies::stderrVar() = errors;
    setConstant(id("STDIN"), input);
    setConstant(id("STDOUT"), output);
    setConstant(id("STDERR"), errors);
    // `__FILE__ == $0` holds in the script, as it does for the file `ruby` runs.
    ruby_set_script_name(rb_external_str_new_with_enc(
        run.fileName->data(), static_cast<long>(run.fileName->size()), rb_filesystem_encoding()));
    rb_ivar_set(environmentModule, id("@output"), output);
    rb_ivar_set(environmentModule, id("@errors"), errors);
    rb_ivar_set(environmentModule, id("@input"), input);
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
    protectedCall([](VALUE input) { return rb_io_close(input); }, CaptureStreams::input());
    saved = SavedStreams{};
    CaptureStreams::close();
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
            CaptureStreams::writeMessage(rb_obj_as_string(exception));
            return Qnil;
        },
        error);
}

void Pseudo::ReadOutput(LineList &outputLines)
{
    CaptureStreams::readOutput(outputLines);
}
