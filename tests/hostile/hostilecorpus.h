#pragma once

// The hostile corpus: what each script under scripts/ leaves in the document, the same on
// every system the editor runs on (line ends aside). Read by the Linux and the Windows tests.

namespace {

constexpr char kDocument[] = "alpha\nbeta\n";
// The ordinary run after each hostile one: it must still see its ARGV and be heard.
constexpr char kFollowScript[] = "ARGV.each { |line| puts line.upcase }\n";
constexpr char kFollowDocument[] = "one\ntwo\n";
constexpr char kFollowOutput[] = "ONE\nTWO\n";

struct Case
{
    const char *script;   // file name under scripts/, without ".rb"
    const char *expected; // the whole document after the run, as the bytes the script wrote
    const char *follow = kFollowOutput; // the ordinary run's document afterwards
};

// What each script leaves in the document "alpha\nbeta\n" when it is run over all of it.
const Case kCases[] = {
    // abort writes its text to $stderr and ends the script quietly, as under `ruby`.
    {"abort", "before\ngave up\n"},
    {"argv_frozen", "freezing ARGV is not available in the editor\n"},
    {"at_exit", "registered\nat exit\n"},
    {"backticks", "from a child\npiped\n"},
    {"binary_output",
     "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0b\x0c\x0e\x0f\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19"
     "\x1a\x1b\x1c\x1d\x1e\x1f "
     "!\"#$%&'()*+,-./"
     "0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`abcdefghijklmnopqrstuvwxyz{|}~"
     "\x7f\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8a\x8b\x8c\x8d\x8e\x8f\x90\x91\x92\x93\x94\x95"
     "\x96\x97\x98\x99\x9a\x9b\x9c\x9d\x9e\x9f\xa0\xa1\xa2\xa3\xa4\xa5\xa6\xa7\xa8\xa9\xaa\xab\xac"
     "\xad\xae\xaf\xb0\xb1\xb2\xb3\xb4\xb5\xb6\xb7\xb8\xb9\xba\xbb\xbc\xbd\xbe\xbf\xc0\xc1\xc2\xc3"
     "\xc4\xc5\xc6\xc7\xc8\xc9\xca\xcb\xcc\xcd\xce\xcf\xd0\xd1\xd2\xd3\xd4\xd5\xd6\xd7\xd8\xd9\xda"
     "\xdb\xdc\xdd\xde\xdf\xe0\xe1\xe2\xe3\xe4\xe5\xe6\xe7\xe8\xe9\xea\xeb\xec\xed\xee\xef\xf0\xf1"
     "\xf2\xf3\xf4\xf5\xf6\xf7\xf8\xf9\xfa\xfb\xfc\xfd\xfe\xff\n"},
    // %FILE% stands for the script's full path.
    {"break_toplevel", "%FILE%:2: Invalid break\n"},
    {"chdir", "/\n"},
    {"chdir_block", "inside\nback\n"},
    {"comments_only", ""},
    {"csv_stdout", "alpha\nbeta\n"},
    {"daemon", "before\nfork is not available in the editor\n"},
    {"deep_data", "before\nstack level too deep\n"},
    {"deep_recursion", "before\nstack level too deep\n"},
    {"empty", ""},
    {"env_change", "set\n"},
    {"eval_syntax_error", "before\n(eval):1: syntax error, unexpected end-of-input\n"},
    {"exec", "before\nexec is not available in the editor\n"},
    {"exit", "before\n"},
    {"exit_1", "before\n"},
    {"exit_bang", "before\n"},
    {"exit_bang_status", "before\n"},
    {"fork", "before\nfork is not available in the editor\n"},
    {"fork_open", "before\nfork is not available in the editor\n"},
    {"fork_popen", "before\nfork is not available in the editor\n"},
    {"flock_busy", "true\nALPHA\nBETA\n"},
    {"gc_compact", "ALPHA\nBETA\n"},
    // Kernel#gets takes ARGV as file names.
    {"gets_argv", "before\nNo such file or directory @ rb_sysopen - alpha\n"},
    {"gets_no_argv", "nil\n"},
    {"huge_allocation", "before\nfailed to allocate memory\n"},
    {"invalid_utf8", "ok \xff\xfe end\n\xe3\x81\n"},
    {"kill_child", "1\n1\ntrue\n"},
    {"kill_group", "before\nsignals to the editor's own process are not available in the editor\n"},
    {"kill_int", "before\nsignals to the editor's own process are not available in the editor\n"},
    {"kill_term", "before\nsignals to the editor's own process are not available in the editor\n"},
    {"loop_until_error", "4\n"},
    {"main_guard", "ALPHA\nBETA\n"},
    {"next_toplevel", "%FILE%:2: Invalid next\n"},
    {"nul_bytes", "before\nxy\nz\n"},
    {"objectspace", "true\n"},
    {"process_exec", "before\nexec is not available in the editor\n"},
    {"process_fork", "before\nfork is not available in the editor\n"},
    {"raise_classes",
     "ArgumentError TypeError NameError NoMethodError ZeroDivisionError KeyError IndexError "
     "RangeError IOError EOFError Errno::ENOENT StopIteration FrozenError NotImplementedError "
     "RuntimeError StandardError Exception ScriptError SecurityError Interrupt "
     "SignalException\ndivided by zero at last\n"},
    // the report is the exception as a string, which a message method does not change.
    {"raise_custom", "before\nHostileFailure\n"},
    {"raise_interrupt", "before\nInterrupt\n"},
    {"raise_nomemory", "before\npretend\n"},
    // a bare raise has an empty message.
    {"raise_plain", "before\n"},
    {"pp_argv", "[\"alpha\", \"beta\"]\n1\n"},
    {"raise_from_write", "write failed\n"},
    // methods a script defines stay for later runs; its standard streams are its own.
    {"redefine_puts", "[redefined]\n", "[ONE]\n[TWO]\n"},
    {"redefine_write", "<redefined\n>\n"},
    {"require_relative", "helped\n"},
    {"require_missing", "before\ncannot load such file -- no_such_library_anywhere\n"},
    {"return_toplevel", "before\n"},
    {"set_encoding", "alpha\nbeta\n"},
    {"signal_trap", "trapped both\n"},
    {"sleep_short", "beta\nalpha\n"},
    {"spawn", "true\n"},
    {"stderr_close_write", "before\nafter\n"},
    {"stderr_reopen", "before\nafter\n"},
    {"stdin_const_read", "before\n\"\"\n"},
    // a script's standard input is at its end, whatever the editor's is.
    {"std_constants", "x\nINFO y\nz\n"},
    {"stdin_each_line", "[]\nalpha\nbeta\n"},
    {"stdin_gets", "before\nnil\nnil\n"},
    {"stdin_read", "before\n\"\"\n"},
    {"stdout_close", "before\nclosed stream\n"},
    {"stdout_const_puts", "before\nto the terminal\nafter\n"},
    {"stdout_nil", "before\n$stdout must have write method, NilClass given\n"},
    {"stdout_reopen", "before\n"},
    // what went to the StringIO is the script's own business.
    {"stdout_stringio", "before\n"},
    {"stream_encodings", "nil\nnil\nnil\nnil\n"},
    {"stringio_and_back", "x\n"},
    {"syntax_error_last_line",
     "%FILE%:3: syntax error, unexpected end-of-input, expecting ')'\ndef broken(\n           ^\n"},
    {"system", "true\nfalse\n3\n"},
    {"thread_ended", "after\n"},
    // threads end with the run, as with the process under ruby.
    {"thread_ensure", "started\nended\n"},
    {"thread_loop", "started\n"},
    {"thread_raise", "started\n"},
    {"throw_uncaught", "before\nuncaught throw :nowhere\n"},
};

} // namespace
