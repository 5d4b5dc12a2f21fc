#include "runner_test_support.h"

#include "runner/pseudo.h"
#include "runner/rubies.h"
#include "runner/zerith.h"

#include <QVariant>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

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

/// Puts @p input on file descriptor 0 through a real pipe for as long as it lives.
class StdinPipe
{
public:
    explicit StdinPipe(const std::string &input)
    {
        int fds[2];
        EXPECT_EQ(::pipe(fds), 0);
        EXPECT_EQ(::write(fds[1], input.data(), input.size()), static_cast<ssize_t>(input.size()));
        ::close(fds[1]);
        m_saved = ::dup(STDIN_FILENO);
        ::dup2(fds[0], STDIN_FILENO);
        ::close(fds[0]);
    }
    ~StdinPipe()
    {
        ::dup2(m_saved, STDIN_FILENO);
        ::close(m_saved);
    }
    StdinPipe(const StdinPipe &) = delete;
    StdinPipe &operator=(const StdinPipe &) = delete;

private:
    int m_saved = -1;
};

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

TEST(Capture, StreamsAreTheSameValuesAfterEveryRun)
{
    const VALUE in = Rubies::stdinVar(), out = Rubies::stdoutVar(), err = Rubies::stderrVar();
    for (const char *script :
         {"print 1", "raise 'boom'", "exit", "$stdout = STDERR; x(", "throw :nowhere"}) {
        runScript(script);
        EXPECT_EQ(Rubies::stdinVar(), in) << script;
        EXPECT_EQ(Rubies::stdoutVar(), out) << script;
        EXPECT_EQ(Rubies::stderrVar(), err) << script;
    }
}

TEST(Capture, ConstantsKeepTheRealStreams)
{
    EXPECT_EQ(runScript("print STDOUT.equal?($stdout), STDERR.equal?($stderr), STDOUT.fileno, "
                        "STDERR.fileno"),
              "falsefalse12");
}

TEST(Capture, CaptureBehavesAsAnOutputStream)
{
    // flush recursed until the stack ran out; sync= raised "uninitialized stream".
    EXPECT_EQ(runScript("$stdout.sync = true; print $stdout.flush.equal?($stdout), "
                        "$stdout.sync, $stdout.fileno.inspect, $stdout.tty?, "
                        "$stderr.isatty; $stderr.flush"),
              "truetruenilfalsefalse");
}

TEST(Capture, WriteIsPublic)
{
    EXPECT_EQ(runScript("$stdout.write('x'); $stderr.write(\"y\\n\")"), "xy\n");
}

TEST(Capture, SyntaxErrorComesOutAsTheRuntimesMessage)
{
    LineList lines;
    const std::string out = runScript("puts 1\nputs(", {}, &lines);
    EXPECT_EQ(out.rfind("(eval):2: syntax error, unexpected end-of-input", 0), 0u) << out;
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
    zerith.setBeforeExec([&](QObject *) { seen.push_back(RARRAY_LEN(Rubies::argv())); });
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
    QObject *sender = nullptr;
    zerith.setBeforeExec([&](QObject *s) {
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

TEST(Component, PropertiesWorkThroughTheMetaObject)
{
    TZerith zerith;
    EXPECT_TRUE(zerith.setProperty("Script", QVariant::fromValue(LineList{"print 7"})));
    EXPECT_EQ(zerith.property("Script").value<LineList>(), LineList{"print 7"});
}

TEST(Component, StateStaysAcrossRunsAndComponents)
{
    runScript("$kept = 41; KEPT_CONST = 1 unless defined?(KEPT_CONST); def kept_m = 1");
    EXPECT_EQ(runScript("print $kept + KEPT_CONST, kept_m"), "421");
}

TEST(Component, ExecuteNeedsAStartedRuntimeOnlyOnce)
{
    EXPECT_TRUE(IsRuntimeStarted());
    TZerith design(nullptr, true);
    EXPECT_TRUE(design.isDesignMode());
    design.setScript(LineList{"print 'design'"});
    design.Execute(nullptr); // the runtime was started by other components
    EXPECT_EQ(Pseudo::OutputBuffer(), "design");
}

TEST(Input, GetsReadsLinesOfTheRealStandardInput)
{
    const StdinPipe pipe("abc\r\nx\ry\n\n\x04tail\nlast");
    EXPECT_EQ(runScript("6.times { r = $stdin.class.gets; print r.inspect, $_.inspect, ' ' }"),
              "\"abc\\n\"\"abc\\n\" \"xy\\n\"\"xy\\n\" nilnil nilnil \"last\\n\"\"last\\n\" "
              "nilnil ");
}

TEST(Input, GetcReadsBytesWithNulAsNilAndEndAsCtrlZ)
{
    const StdinPipe pipe(std::string("A\0\xff\x1a", 4));
    EXPECT_EQ(runScript("print 5.times.map { $stdin.class.getc }.inspect"),
              "[65, nil, 255, 26, 26]");
}

TEST(Input, UnreadableStandardInputReadsAsEnd)
{
    const int saved = ::dup(STDIN_FILENO);
    ::close(STDIN_FILENO);
    EXPECT_EQ(runScript("print $stdin.class.gets.inspect, $stdin.class.getc"), "nil26");
    ::dup2(saved, STDIN_FILENO);
    ::close(saved);
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
    // ctest runs this under a UTF-8 locale.
    const std::string script = "print 'é'.length, 'été'.upcase, __ENCODING__, ' ', "
                               "Encoding.default_external, ' ', ARGV[0].encoding, "
                               "ARGV[0].length, ARGV[0].upcase";
    const std::string expected = "1ÉTÉUTF-8 UTF-8 UTF-83ÉTÉ";
    EXPECT_EQ(runScript(script, {"été"}), expected);
    // The prelude the window runs first changes nothing any more.
    EXPECT_EQ(runScript("$KCODE = 'SJIS'"), "");
    EXPECT_EQ(runScript(script, {"été"}), expected);
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
        {"print 'a'; exit; print 'b'", "aexit"},
        {"print 'a'; exit 3", "aexit"},
        {"print 'a'; exit!; print 'b'", "aexit! ends only the script"},
        {"exit!(0)", "exit! ends only the script"},
        {"Process.exit!(true)", "exit! ends only the script"},
        {"Kernel.exit!", "exit! ends only the script"},
        {"abort", "exit"},
        {"abort 'bye'", "bye\nbye"},
        {"begin; exit!; rescue SystemExit => e; print e.status; end", "1"},
    };
    for (const auto &[script, output] : cases)
        EXPECT_EQ(runScript(script), output) << script;
    EXPECT_EQ(runScript("print 'still here'"), "still here");
}
