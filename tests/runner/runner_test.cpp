#include "runner_test_support.h"

#include "runner/pseudo.h"
#include "runner/rubies.h"
#include "runner/runtimestack.h"
#include "runner/zerith.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#else
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct CaptureCase
{
    const char *name;
    std::string script;
    std::string buffer;
    std::vector<std::string> lines;
};

#ifdef _WIN32
int makePipe(int (&fds)[2])
{
    return _pipe(fds, 4096, _O_BINARY);
}
#else
int makePipe(int (&fds)[2])
{
    return ::pipe(fds);
}
#endif

/// Puts @p input on file descriptor 0 through a real pipe for as long as it lives.
class StdinPipe
{
public:
    explicit StdinPipe(const std::string &input)
    {
        int fds[2];
        EXPECT_EQ(makePipe(fds), 0);
        EXPECT_EQ(::write(fds[1], input.data(), static_cast<unsigned>(input.size())),
                  static_cast<int>(input.size()));
        ::close(fds[1]);
        m_saved = ::dup(0);
        ::dup2(fds[0], 0);
        ::close(fds[0]);
    }
    ~StdinPipe()
    {
        ::dup2(m_saved, 0);
        ::close(m_saved);
    }
    StdinPipe(const StdinPipe &) = delete;
    StdinPipe &operator=(const StdinPipe &) = delete;

private:
    int m_saved = -1;
};

// Defines `child`: the command line of a Ruby program running @p code, quick to start.
constexpr char kChildProgram[] =
    "require 'rbconfig'; def child = ->(code) { [RbConfig.ruby, '--disable-gems', '-e', code] }";

} // namespace

TEST(Capture, CollectsEveryWriteInOrderAndSplitsItIntoLines)
{
    const std::vector<CaptureCase> cases = {
        {"ThreeWrites", "print 'a'; print \"b\\n\"; print 'c'", "ab\nc", {"ab", "c"}},
        {"CrLfAndLf", "print \"a\\r\\nb\\n\"", "a\r\nb\n", {"a", "b"}},
        {"EmptyLineBetween", "print \"a\\n\\nb\"", "a\n\nb", {"a", "", "b"}},
        {"LoneCr", "print \"a\\rb\"", "a\rb", {"a", "b"}},
        {"CrLfAcrossWrites", "print \"a\\r\"; print \"\\nb\"", "a\r\nb", {"a", "b"}},
        {"IntegerWrite", "print $stdout.write(42)", "422", {"422"}},
        {"NonStrings", "print nil, :sym, 1.5, [1]", "sym1.5[1]", {"sym1.5[1]"}},
        {"NulCutsTheTextButCountsAllBytes", "print $stdout.write(\"x\\0y\")", "x3", {"x3"}},
        {"ErrorAfterOutput", "print 'x'; raise 'boom'", "xboom", {"xboom"}},
        {"EveryWayOfWritingInterleaved",
         "print 'a'; $stderr.print 'b'; puts 'c'; warn 'd'; p 1; printf('%d', 2); putc 'e'; "
         "$stdout << 'f'; $stdout.write('g'); $stderr.puts 'h'; STDOUT.flush",
         "abc\nd\n1\n2efgh\n",
         {"abc", "d", "1", "2efgh"}},
        {"WriteWithSeveralArguments", "print $stdout.write('ab', 3, :c)", "ab3c4", {"ab3c4"}},
        {"PutsOfAnArray", "puts [1, [2, nil]]", "1\n2\n\n", {"1", "2", ""}},
    };
    for (const CaptureCase &c : cases) {
        LineList lines{"stale"};
        EXPECT_EQ(runScript(c.script, {}, &lines), c.buffer) << c.name;
        EXPECT_EQ(linesOf(lines), c.lines) << c.name;
    }
}

TEST(Capture, EmptyWritesLeaveTheCallersListAlone)
{
    for (const char *script : {"", "print ''", "$stdout.write('', '')", "x = 1"}) {
        LineList lines{"keep"};
        EXPECT_EQ(runScript(script, {}, &lines), "") << script;
        EXPECT_EQ(linesOf(lines), std::vector<std::string>{"keep"}) << script;
    }
    LineList lines{"stale"};
    runScript("print \"\\0\"", {}, &lines);
    EXPECT_TRUE(lines.isEmpty()) << "a non-empty write mirrors even an empty buffer";
}

TEST(Capture, BufferIsEmptiedWhenTheNextRunBegins)
{
    runScript("print 'first'");
    EXPECT_EQ(runScript("print 'second'"), "second");
}

TEST(Capture, ManyShortLinesAllArrive)
{
    LineList lines;
    runScript("100_000.times { |i| puts i }", {}, &lines);
    ASSERT_EQ(lines.count(), 100000u);
    EXPECT_EQ(lines[0], "0");
    EXPECT_EQ(lines[99999], "99999");
}

TEST(Capture, StreamsConstantsAndProgramNameAreTheSameValuesAfterEveryRun)
{
    const VALUE in = Rubies::stdinVar(), out = Rubies::stdoutVar(), err = Rubies::stderrVar();
    // The runtime is called on its own stack, as the runner calls it.
    const auto constant = [](const char *name) {
        VALUE value = Qnil;
        RuntimeStack::call([&] { value = rb_const_get(rb_cObject, rb_intern(name)); });
        return value;
    };
    const VALUE stdinConstant = constant("STDIN"), stdoutConstant = constant("STDOUT");
    const auto programName = [] {
        std::string text;
        RuntimeStack::call([&] {
            VALUE name = rb_gv_get("$0");
            text = StringValueCStr(name);
        });
        return text;
    };
    const auto defined = [](const char *name) {
        bool answer = false;
        RuntimeStack::call([&] { answer = rb_const_defined(rb_cObject, rb_intern(name)); });
        return answer;
    };
    const std::string startName = programName();
    for (const char *script :
         {"print 1", "raise 'boom'", "exit", "$stdout = STDERR; x(", "throw :nowhere",
          "STDOUT = 1; Object.send(:remove_const, :STDIN); $0 = 'x'", "puts DATA.read\n__END__"}) {
        runScript(script);
        EXPECT_EQ(Rubies::stdinVar(), in) << script;
        EXPECT_EQ(Rubies::stdoutVar(), out) << script;
        EXPECT_EQ(Rubies::stderrVar(), err) << script;
        EXPECT_EQ(constant("STDIN"), stdinConstant) << script;
        EXPECT_EQ(constant("STDOUT"), stdoutConstant) << script;
        EXPECT_EQ(programName(), startName) << script;
        EXPECT_FALSE(defined("DATA")) << script;
    }
}

TEST(Capture, StreamsAreARealOutputFileAndAnInputAtItsEnd)
{
    // The capture was a data object posing as an IO: what it did not define reached a NULL
    // file pointer (external_encoding) or recursed (set_encoding, flush).
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"print STDOUT.equal?($stdout), STDERR.equal?($stderr), STDIN.equal?($stdin), "
         "$stdout.is_a?(IO), $stdin.is_a?(IO), $stdout.fileno != $stderr.fileno",
         "truetruetruetruetruetrue"},
        {"p $stdout.external_encoding, $stdout.internal_encoding, $stderr.external_encoding",
         "nil\nnil\nnil\n"},
        {"$stdout.set_encoding('UTF-8'); print $stdout.external_encoding, \"\\u00e9\"", "UTF-8é"},
        // ENOTTY here; Windows has no terminal device to answer it and says EBADF.
        {"require 'io/console'; begin; $stdout.winsize; rescue SystemCallError => e; "
         "print e.is_a?(Errno::ENOTTY) || e.is_a?(Errno::EBADF); end",
         "true"},
        {"$stdout.sync = true; print $stdout.flush.equal?($stdout), $stdout.sync, "
         "$stdout.fileno.is_a?(Integer), $stdout.tty?, $stderr.isatty, $stdout.closed?, "
         "$stdout.binmode.equal?($stdout), $stdout.fsync; $stderr.flush",
         "truetruetruefalsefalsefalsetrue0"},
        {"print $stdout.sync", "false"},
        {"print $stdin.read.inspect, $stdin.gets.inspect, $stdin.each_line.to_a, "
         "$stdin.readlines, $stdin.getc.inspect, STDIN.read.inspect, $stdin.eof?",
         "\"\"nil[][]nil\"\"true"},
        {"begin; $stdout.gets; rescue IOError => e; print e.message; end",
         "not opened for reading"},
        {"require 'csv'; CSV($stdout) { |c| c << %w[a b] }; pp ARGV, 1", "a,b\n[\"x\"]\n1\n"},
        {"require 'stringio'; $stdout = StringIO.new; puts 'lost'; $stdout = STDOUT; puts 'x'",
         "x\n"},
        // Children are Ruby programs here, so the rows hold on every system.
        {"STDOUT.print 'a'; STDERR.print 'b'; $stdout.syswrite('c'); system(*child['print %(d)']); "
         "system(*child['$stderr.print %(e)']); "
         "print IO.popen(child['print %(f); $stderr.print %(g)'], &:read); "
         "IO.popen(child['print %(h)']).read; print 'i'",
         "abcdegfi"},
        {"pid = spawn(*child['sleep 0.5; print %(b)']); print 'a'; Process.wait(pid); print 'c'",
         "abc"},
        {"system(*child['print STDIN.read']); print 'after'", "after"},
        {"def $stdout.write(*) = raise('from write'); puts 'x'", "from write"},
        {"$stderr.reopen(File::NULL); warn 'hidden'; puts 'shown'", "shown\n"},
        {"print 'a'; $stdout.close; print 'b'", "aclosed stream"},
    };
    runScript(kChildProgram);
    for (const auto &[script, output] : cases)
        EXPECT_EQ(runScript(script, {"x"}), output) << script;
    EXPECT_EQ(runScript("puts 'next'"), "next\n");
}

TEST(Capture, WriteIsPublic)
{
    EXPECT_EQ(runScript("$stdout.write('x'); $stderr.write(\"y\\n\")"), "xy\n");
}

TEST(Capture, SyntaxErrorComesOutAsTheRuntimesMessage)
{
    LineList lines;
    const std::string out = runScript("puts 1\nputs(", {}, &lines);
    EXPECT_EQ(out.rfind("-:2: syntax error, unexpected end-of-input", 0), 0u) << out;
    EXPECT_EQ(out.find("stack level too deep"), std::string::npos);
}

TEST(Capture, ScriptErrorsAreReportedByMessage)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"raise ArgumentError, 'bad'", "bad"},
        {"1 / 0", "divided by 0"},
        {"def f = f; f", "stack level too deep"},
        {"class E < StandardError; def to_s = raise('again'); end; raise E", ""},
    };
    for (const auto &[script, message] : cases)
        EXPECT_EQ(runScript(script), message) << script;
}

TEST(Arguments, ParamsBecomeArgvOneStringPerLine)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "[]"},
        {{"a", "", "b"}, "[\"a\", \"\", \"b\"]"},
        {{" spaced ", "--opt", "*"}, "[\" spaced \", \"--opt\", \"*\"]"},
    };
    for (const auto &[params, expected] : cases)
        EXPECT_EQ(runScript("print ARGV.inspect", params), expected);
}

TEST(Arguments, ArgvIsEmptiedBeforeBeforeExecFires)
{
    TZerith zerith;
    zerith.setScript(LineList{"print ARGV.size"});
    zerith.setParams(LineList{"a", "b"});
    std::vector<long> seen;
    zerith.setBeforeExec([&](TZerith *) { seen.push_back(RARRAY_LEN(Rubies::argv())); });
    zerith.Execute(nullptr);
    zerith.Execute(nullptr);
    EXPECT_EQ(seen, (std::vector<long>{0, 0}));
    EXPECT_EQ(Pseudo::OutputBuffer(), "2");
}

TEST(Component, FiresBeforeExecThenRunsThenFiresAfterExec)
{
    class Recording : public TZerith
    {
    public:
        std::vector<std::string> events;

    protected:
        void DoBeforeExec() override
        {
            events.push_back("before:" + Pseudo::OutputBuffer());
            TZerith::DoBeforeExec();
        }
        void DoAfterExec() override
        {
            events.push_back("after:" + Pseudo::OutputBuffer());
            TZerith::DoAfterExec();
        }
    };
    runScript("print 'old'");
    Recording zerith;
    TZerith *sender = nullptr;
    zerith.setBeforeExec([&](TZerith *s) {
        zerith.events.push_back("handler");
        sender = s;
    });
    zerith.setScript(LineList{"print 'new'"});
    zerith.Execute(nullptr);
    EXPECT_EQ(zerith.events, (std::vector<std::string>{"before:old", "handler", "after:new"}));
    EXPECT_EQ(sender, &zerith);
}

TEST(Component, ScriptAndParamsAreCopies)
{
    TZerith zerith;
    LineList script{"print ARGV[0]"};
    LineList params{"mine"};
    zerith.setScript(script);
    zerith.setParams(params);
    script.setText("print 'changed'");
    params.append("more");
    params.extendLast("x");
    EXPECT_EQ(linesOf(zerith.Script()), std::vector<std::string>{"print ARGV[0]"});
    zerith.Execute(nullptr);
    EXPECT_EQ(Pseudo::OutputBuffer(), "mine");
}

TEST(Component, StateStaysAcrossRunsAndComponents)
{
    runScript("$kept = 41; KEPT_CONST = 1 unless defined?(KEPT_CONST); def kept_m = 1");
    EXPECT_EQ(runScript("print $kept + KEPT_CONST, kept_m"), "421");
}

TEST(Component, ExecuteNeedsAStartedRuntimeOnlyOnce)
{
    EXPECT_TRUE(IsRuntimeStarted());
    TZerith design(true);
    EXPECT_TRUE(design.isDesignMode());
    design.setScript(LineList{"print 'design'"});
    design.Execute(nullptr); // the runtime was started by other components
    EXPECT_EQ(Pseudo::OutputBuffer(), "design");
}

TEST(Input, TheEditorsStandardInputIsNeverRead)
{
    // Reading it froze the editor on a terminal; scripts and their children find an end.
    const StdinPipe pipe("abc\nx\n");
    runScript(kChildProgram);
    EXPECT_EQ(runScript("print $stdin.read.inspect, STDIN.gets.inspect, "
                        "IO.popen(child['print STDIN.read.inspect'], &:read); "
                        "system(*child['print STDIN.read'])"),
              "\"\"nil\"\"");
    char rest[8] = {};
    EXPECT_EQ(::read(0, rest, sizeof rest), 6);
}

TEST(Runtime, ScriptsSeeTheFullCoreAndStandardLibrary)
{
    EXPECT_EQ(runScript("GC.start; warn 'w'; print [65].pack('C'), Time.now.class, "
                        "Integer('7'), ' '; require 'json'; require 'csv'; require 'set'; "
                        "print JSON.generate([1]), CSV.parse_line('a,b').size, Set[1].size"),
              "w\nATime7 [1]21");
}

TEST(Runtime, TextCarriesTheLocalesCoding)
{
    // CTest runs this under a UTF-8 locale; under Wine the ANSI code page is Windows-1252.
    struct Coding
    {
        std::string name, e, ete, eteUpcased;
    };
    const Coding utf8{"UTF-8", "é", "été", "ÉTÉ"};
    const Coding windows1252{"Windows-1252", "\xe9", "\xe9t\xe9", "\xc9T\xc9"};
    const std::string locale = runScript("print Encoding.find('locale')");
    const Coding &c = locale == windows1252.name ? windows1252 : utf8;
    const std::string script = "print '" + c.e + "'.length, '" + c.ete +
                               "'.upcase, __ENCODING__, ' ', "
                               "Encoding.default_external, ' ', ARGV[0].encoding, "
                               "ARGV[0].length, ARGV[0].upcase";
    const std::string expected =
        "1" + c.eteUpcased + c.name + " " + c.name + " " + c.name + "3" + c.eteUpcased;
    EXPECT_EQ(runScript(script, {c.ete}), expected);
    // The prelude the window runs first changes nothing any more.
    EXPECT_EQ(runScript("$KCODE = 'SJIS'"), "");
    EXPECT_EQ(runScript(script, {c.ete}), expected);
}

TEST(Runtime, CurrentExceptionIsClearedAfterItWasWritten)
{
    runScript("raise 'boom'");
    EXPECT_TRUE(NIL_P(Rubies::errinfo()));
    EXPECT_EQ(runScript("print $!.inspect"), "nil");
}

TEST(Runtime, ExitEndsOnlyTheScript)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"print 'a'; exit; print 'b'", "a"},
        {"print 'a'; exit 3", "a"},
        {"print 'a'; exit(false)", "a"},
        {"print 'a'; exit!; print 'b'", "a"},
        {"exit!(0)", ""},
        {"Process.exit!(true)", ""},
        {"Kernel.exit!", ""},
        {"abort", ""},
        {"abort 'bye'", "bye\n"},
        {"begin; exit!; rescue SystemExit => e; print e.status; end", "1"},
        // at_exit blocks run at the end of the run, last first, before an error is reported.
        {"at_exit { print 'b' }; at_exit { print 'c' }; print 'a'", "acb"},
        {"at_exit { print 'x' }; raise 'boom'", "xboom"},
        {"at_exit { raise 'inner' }; at_exit { exit 2 }; print 'a'", "ainner"},
        {"at_exit { print 'no' }; exit!", ""},
        {"at_exit { at_exit { print 'b' }; print 'a' }", "ab"},
    };
    for (const auto &[script, output] : cases)
        EXPECT_EQ(runScript(script), output) << script;
    EXPECT_EQ(runScript("print 'still here'"), "still here");
}

TEST(Runtime, ScriptRunsAsTheFileItIsNamed)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("korvex-named-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "helper.rb") << "def helped = 'helped'\n";
    const std::string path = (folder / "main.rb").string();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"print __FILE__ == $0, __FILE__ == '" + path + "', __dir__ == '" + folder.string() + "'",
         "truetruetrue"},
        {"require_relative 'helper'; print helped", "helped"},
        {"print DATA.read, DATA.class\n__END__\na\n\nb", "a\n\nb\nStringIO"},
        {"return if ARGV.empty?\nprint 'not here'", ""},
        {"kept_local = 1", ""},
        {"print defined?(kept_local).inspect", "nil"},
        {"print 1\nputs(", path + ":2: syntax error, unexpected end-of-input"},
    };
    for (const auto &[script, output] : cases) {
        const std::string got = runScript(script, {}, nullptr, path);
        // The rest of a syntax error's message is the runtime's own.
        EXPECT_EQ(got.substr(0, output.size()), output) << script;
    }
    EXPECT_EQ(runScript("print __FILE__, $0"), "--");
    std::filesystem::remove_all(folder);
}
