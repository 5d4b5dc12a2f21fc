// The same script gives the same output through the runner as through the `ruby` command run
// as `ruby script.rb LINE... < /dev/null 2>&1` with unbuffered output, a script's error
// reported by its message alone.
#include "rubycommand.h"
#include "runner_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

struct Script
{
    const char *name;
    std::string source;
    std::vector<std::string> args;
    const char *notOnWindows = nullptr; // why the row is compared on Linux only
};

// Rows that differ on Windows by design, or that the `ruby` command cannot run under Wine.
constexpr char kSourceCoding[] = "the editor's runtime reads and writes the ANSI code page, "
                                 "ruby.exe UTF-8 (Encoding.default_external)";
constexpr char kTextMode[] = "the ruby command's output on Windows writes LF as CR LF, so "
                             "\"\\r\\n\" becomes two line breaks; the capture keeps the bytes";
constexpr char kStackOverflowUnderWine[] = "the ruby command hangs under Wine on the "
                                           "machine-stack overflow (the runner's larger stack "
                                           "has the runtime raise SystemStackError first)";

const std::vector<Script> scripts = {
    {"Upcase", "ARGV.each { |l| puts l.upcase }", {"héllo wörld", "été", ""}},
    // Arguments read as C strings (to_c stops at the terminator) must end where they end.
    {"ArgumentsAsCStrings",
     "ARGV.each { |l| p l.to_c, l.to_r }",
     {"12 and a line long enough to be shared", "3/4 and another line long enough", "5"}},
    {"SortLines", "puts ARGV.sort", {"pear", "apple", "Zebra", "äpfel"}},
    {"NumberLines",
     "ARGV.each_with_index { |l, i| printf(\"%3d: %s\\n\", i + 1, l) }",
     {"a", "b", "c"}},
    {"Reverse", "puts ARGV.map(&:reverse).reverse", {"abc", "été"}},
    {"Lengths", "ARGV.each { |l| p [l.length, l.bytesize] }", {"é", "日本語", "ascii"}},
    {"JsonPretty",
     "require 'json'\nputs JSON.pretty_generate(JSON.parse(ARGV.join))",
     {"{\"a\": [1, 2,", "{\"b\": \"é\"}]}"}},
    {"Csv",
     "require 'csv'\nARGV.each { |l| puts CSV.parse_line(l).reverse.join('|') }",
     {"a,b,\"c,d\"", "1,2,3"}},
    {"Set", "require 'set'\nputs Set.new(ARGV).to_a.join(',')", {"a", "b", "a"}},
    {"Heredoc", "x = 3\nputs <<~EOS\n  value: #{x}\n    indented\nEOS", {}},
    {"Inspect", "p ARGV, nil, :sym, 1.5, {a: 1}, 'é'", {"x"}},
    {"PrintMixed",
     "print 'a', 1, nil, \"\\n\"; $stdout << 'b' << 2 << \"\\n\"; putc 'c'; puts",
     {}},
    {"Format", "puts format('%-5s|%05.1f|%x', 'ab', 3.14159, 255)", {}},
    {"Uniq", "puts ARGV.uniq.tally.map { |k, v| \"#{v} #{k}\" }", {"a", "b", "a", "a"}},
    {"Squeeze", "puts ARGV.join(\"\\n\").squeeze(\"\\n\")", {"a", "", "", "b"}},
    {"Swapcase", "ARGV.each { |l| puts l.swapcase.center(12, '*') }", {"ÀbC", "dEf"}},
    {"Freeze", "# frozen_string_literal: true\nputs 'lit'.frozen?", {}},
    // puts of every kind of argument, and a `write` given to the stream's class, which puts
    // must call from then on.
    {"PutsKinds",
     "puts 1, [2, [3]], nil, \"a\\n\", '', :s\nk = $stdout.class\n"
     "k.alias_method :korvex_write, :write\n"
     "k.define_method(:write) { |*t| korvex_write(*t.map { |x| x.to_s.upcase }) }\n"
     "puts 'shout'\nk.alias_method :write, :korvex_write\nputs 'calm'",
     {}},
    {"EncodingNames",
     "puts __ENCODING__, Encoding.default_external, ARGV[0].encoding",
     {"x"},
     kSourceCoding},
    {"Regexp",
     "ARGV.each { |l| puts l.gsub(/(\\w+)@(\\w+)/) { \"#{$2} at #{$1}\" } }",
     {"mail joe@host now", "none"}},
    {"Exceptions", "begin\n  Integer('x')\nrescue ArgumentError => e\n  puts e.message\nend", {}},
    {"Struct", "P = Struct.new(:x, :y)\np P.new(1, 2)\nputs P.new(3).to_a.inspect", {}},
    {"Pack", "puts [1, 2].pack('s*').unpack('s*').sum, 'abc'.unpack1('H*')", {}},
    {"Time",
     "puts Time.at(0).utc.strftime('%Y-%m-%d %H:%M'), Comparable.instance_method(:clamp).arity",
     {}},
    {"Lazy", "puts (1..Float::INFINITY).lazy.map { _1 * 2 }.select(&:even?).first(3).sum", {}},
    {"WriteMany",
     "$stdout.write('a', 'b', \"\\n\"); $stdout.print(\"c\\r\\nd\\n\")",
     {},
     kTextMode},
    {"Encode",
     "puts ARGV[0].encode('UTF-16LE').bytesize, ARGV[0].unicode_normalize(:nfd).length",
     {"é"}},
    // What scripts do with their standard streams.
    {"CsvToStdout",
     "require 'csv'\nCSV($stdout) { |c| ARGV.each { |l| c << l.split } }",
     {"a b", "c d"}},
    {"StreamEncodings",
     "p $stdout.external_encoding, $stdout.internal_encoding, $stderr.external_encoding, "
     "$stderr.internal_encoding",
     {}},
    {"DeepData",
     "a = []\n300_000.times { a = [a] }\nputs 'built'\na.inspect",
     {},
     kStackOverflowUnderWine},
    {"PrettyPrint", "pp ARGV\npp 1, {a: [1, 2]}", {"x", "y"}},
    {"SetEncoding", "$stdout.set_encoding('UTF-8')\nputs ARGV", {"é"}},
    {"StdinAtItsEnd",
     "p $stdin.read, $stdin.readlines, $stdin.gets\n$stdin.each_line { |l| p l }\n"
     "puts(ARGV.empty? ? $stdin.read : ARGV)",
     {"arg"}},
    {"MainGuard",
     "def main(lines) = lines.each { |l| puts l.upcase }\nmain(ARGV) if __FILE__ == $0",
     {"a", "b"}},
    {"ExitWithStatus", "puts 'a'\nexit 3\nputs 'b'", {}},
    {"ExitFalse", "puts 'a'\nexit(false)", {}},
    {"Abort", "puts 'a'\nabort('gone')", {}},
    {"StringIOAndBack",
     "require 'stringio'\n$stdout = StringIO.new\nputs 'lost'\n$stdout = STDOUT\nputs 'x'",
     {}},
    {"ConstantsLoggerAndChildren",
     "STDOUT.puts 'x'\nrequire 'logger'\nl = Logger.new(STDERR)\n"
     "l.formatter = proc { |s, _, _, m| \"#{s}: #{m}\\n\" }\nl.info 'y'\n"
     "require 'rbconfig'\nchild = ->(code) { [RbConfig.ruby, '--disable-gems', '-e', code] }\n"
     "system(*child['puts %(z)'])\nwarn 'w'\nputs IO.popen(child['puts %(v)'], &:read)\n"
     "system(*child['$stderr.puts %(e)'])\nputs 'end'",
     {}},
    // Process.kill as the system's ruby command has it, for a child and a probe of itself.
    {"KillAChild",
     "require 'rbconfig'\npid = spawn(RbConfig.ruby, '--disable-gems', '-e', 'sleep')\n"
     "p Process.kill(0, pid), Process.kill(:KILL, pid)\nProcess.wait(pid)\n"
     "p $?.exited?, Process.kill(0, Process.pid)",
     {}},
    {"RequireRelative", "require_relative 'helpers'\nputs helped(ARGV)", {"q"}},
    {"AtExit",
     "at_exit { puts 'last' }\nat_exit { puts 'second' }\nputs 'first'\nraise 'boom'",
     {}},
    {"Data", "puts DATA.read.upcase\n__END__\nabc\ndef", {}},
    {"TopLevelReturn", "puts 'a'\nreturn if ARGV.empty?\nputs 'b'", {}},
    // A logger names where it was called from: the top level is <main>, with nothing below it.
    {"CallerAtTheTop",
     "def where = caller_locations(1, 1).first.label\nputs where, caller.size\n"
     "def deeper = where\nputs deeper",
     {}},
};

// Makes the `ruby` command's output unbuffered and reports an uncaught error by its message
// alone, after the script's at_exit blocks, as the runner does.
constexpr char kReferencePrelude[] =
    "$stdout.sync = true\n"
    "at_exit { if $! && !$!.is_a?(SystemExit) then STDERR.write($!.to_s); exit!(1) end }\n";

/// A folder of its own for the scripts of one test, gone with it.
class ScratchFolder
{
public:
    ScratchFolder()
        : m_path(std::filesystem::temp_directory_path() /
                 ("korvex-differential-" + std::to_string(std::random_device()())))
    {
        std::filesystem::create_directories(m_path);
    }
    ~ScratchFolder() { std::filesystem::remove_all(m_path); }
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    /// Writes @p text into the file @p name; answers its path.
    std::string write(const std::string &name, const std::string &text) const
    {
        const std::filesystem::path file = m_path / name;
        std::ofstream(file, std::ios::binary) << text;
        return file.string();
    }

private:
    std::filesystem::path m_path;
};

std::string readFile(const std::filesystem::path &path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

LineList linesOfText(const std::string &text)
{
    LineList lines;
    lines.setText(text);
    return lines;
}

/// Whether @p s is compared on this system. On Windows the runner's text is in the ANSI code
/// page and the `ruby` command's arguments are UTF-8: rows with other characters than ASCII
/// are compared on Linux, as are those that say why.
bool comparableHere(const Script &s)
{
#ifdef _WIN32
    const auto ascii = [](const std::string &text) {
        return std::all_of(text.begin(), text.end(),
                           [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    };
    return !s.notOnWindows && ascii(s.source) && std::all_of(s.args.begin(), s.args.end(), ascii);
#else
    (void)s;
    return true;
#endif
}

} // namespace

TEST(Differential, RunnerAndRubyCommandGiveTheSameOutput)
{
    const ScratchFolder folder;
    const std::string prelude = folder.write("prelude.rb", kReferencePrelude);
    folder.write("helpers.rb", "def helped(lines) = lines.map { |l| \"<#{l}>\" }\n");
    for (const Script &s : scripts) {
        if (!comparableHere(s))
            continue;
        const std::string path = folder.write(std::string(s.name) + ".rb", s.source);
        std::vector<std::string> args{"-r" + prelude, path};
        args.insert(args.end(), s.args.begin(), s.args.end());
        const LineList expected = linesOfText(runRubyCommand(args));

        LineList got;
        runScript(s.source, s.args, &got, path, ScriptSource::File);
        EXPECT_EQ(linesOf(got), linesOf(expected)) << s.name;
    }
}

TEST(Differential, LoadPathIsTheRubyCommands)
{
    const LineList expected = linesOfText(runRubyCommand({"-e", "puts $LOAD_PATH"}));
    LineList got;
    runScript("puts $LOAD_PATH", {}, &got);
    EXPECT_EQ(linesOf(got), linesOf(expected));
}

TEST(Differential, SampleScriptsRunAsUnderTheRubyCommand)
{
    const std::vector<std::string> text = {"pear", "Äpfel", "pear",
                                           "",     "apple", "{\"k\": [1, {\"é\": null}]}"};
    std::vector<std::filesystem::path> files;
    for (const auto &entry : std::filesystem::directory_iterator(KORVEX_SAMPLES_DIR)) {
        if (entry.path().extension() == ".rb")
            files.push_back(entry.path());
    }
    ASSERT_FALSE(files.empty());
    for (const std::filesystem::path &file : files) {
        const std::string name = file.filename().string();
        const std::string source = readFile(file);
        // The JSON sample gets JSON; the others get plain lines.
        const std::vector<std::string> args =
            name.starts_with("json") ? std::vector<std::string>{text.back()} : text;
        if (!comparableHere(Script{name.c_str(), source, args}))
            continue;
        std::vector<std::string> rubyArgs{file.string()};
        rubyArgs.insert(rubyArgs.end(), args.begin(), args.end());
        const LineList expected = linesOfText(runRubyCommand(rubyArgs));
        ASSERT_FALSE(expected.isEmpty()) << name;

        LineList got;
        runScript(source, args, &got, {}, ScriptSource::File);
        EXPECT_EQ(linesOf(got), linesOf(expected)) << name;
    }
}
