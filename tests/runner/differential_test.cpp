// The same script gives the same output through the runner as through the `ruby` command run
// as `ruby script.rb LINE... < /dev/null 2>&1` with unbuffered output, a script's error
// reported by its message alone.
#include "runner_test_support.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Script
{
    const char *name;
    std::string source;
    std::vector<std::string> args;
};

const std::vector<Script> scripts = {
    {"Upcase", "ARGV.each { |l| puts l.upcase }", {"héllo wörld", "été", ""}},
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
    {"EncodingNames", "puts __ENCODING__, Encoding.default_external, ARGV[0].encoding", {"x"}},
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
    {"WriteMany", "$stdout.write('a', 'b', \"\\n\"); $stdout.print(\"c\\r\\nd\\n\")", {}},
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
    {"DeepData", "a = []\n300_000.times { a = [a] }\nputs 'built'\na.inspect", {}},
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
     "system('echo', 'z')\nwarn 'w'\nputs `echo v`\nsystem('echo e >&2')\nputs 'end'",
     {}},
    {"RequireRelative", "require_relative 'helpers'\nputs helped(ARGV)", {"q"}},
    {"AtExit",
     "at_exit { puts 'last' }\nat_exit { puts 'second' }\nputs 'first'\nraise 'boom'",
     {}},
    {"Data", "puts DATA.read.upcase\n__END__\nabc\ndef", {}},
    {"TopLevelReturn", "puts 'a'\nreturn if ARGV.empty?\nputs 'b'", {}},
};

// Makes the `ruby` command's output unbuffered and reports an uncaught error by its message
// alone, after the script's at_exit blocks, as the runner does.
constexpr char kReferencePrelude[] =
    "$stdout.sync = true\n"
    "at_exit { if $! && !$!.is_a?(SystemExit) then STDERR.write($!.to_s); exit!(1) end }\n";

} // namespace

TEST(Differential, RunnerAndRubyCommandGiveTheSameOutput)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    env.remove(QStringLiteral("RUBYOPT"));
    const auto writeFile = [&dir](const QString &name, const std::string &text) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.data(), static_cast<qint64>(text.size()));
        return file.fileName();
    };
    const QString prelude = writeFile(QStringLiteral("prelude.rb"), kReferencePrelude);
    writeFile(QStringLiteral("helpers.rb"), "def helped(lines) = lines.map { |l| \"<#{l}>\" }\n");
    for (const Script &s : scripts) {
        const QString path = writeFile(QString::fromUtf8(s.name) + QStringLiteral(".rb"), s.source);

        QStringList args{QStringLiteral("-r") + prelude, path};
        for (const std::string &a : s.args)
            args << QString::fromStdString(a);
        QProcess ruby;
        ruby.setProcessEnvironment(env);
        ruby.setStandardInputFile(QProcess::nullDevice());
        ruby.setProcessChannelMode(QProcess::MergedChannels);
        ruby.start(QStringLiteral("ruby"), args);
        ASSERT_TRUE(ruby.waitForFinished(30000)) << s.name;
        const QByteArray expectedText = ruby.readAll();
        LineList expected;
        expected.setText(std::string_view(expectedText.constData(), expectedText.size()));

        LineList got;
        runScript(s.source, s.args, &got, path.toStdString());
        EXPECT_EQ(linesOf(got), linesOf(expected)) << s.name;
    }
}

TEST(Differential, LoadPathIsTheRubyCommands)
{
    QProcess ruby;
    ruby.start(QStringLiteral("ruby"), {QStringLiteral("-e"), QStringLiteral("puts $LOAD_PATH")});
    ASSERT_TRUE(ruby.waitForFinished(30000));
    LineList expected;
    const QByteArray text = ruby.readAllStandardOutput();
    expected.setText(std::string_view(text.constData(), text.size()));
    LineList got;
    runScript("puts $LOAD_PATH", {}, &got);
    EXPECT_EQ(linesOf(got), linesOf(expected));
}

TEST(Differential, SampleScriptsRunAsUnderTheRubyCommand)
{
    const std::vector<std::string> text = {"pear", "Äpfel", "pear",
                                           "",     "apple", "{\"k\": [1, {\"é\": null}]}"};
    const QDir samples(QStringLiteral(KORVEX_SAMPLES_DIR));
    const QStringList files = samples.entryList({QStringLiteral("*.rb")}, QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString &name : files) {
        QFile file(samples.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray source = file.readAll();
        // The JSON sample gets JSON; the others get plain lines.
        const std::vector<std::string> args =
            name.startsWith(QStringLiteral("json")) ? std::vector<std::string>{text.back()} : text;
        QStringList rubyArgs{file.fileName()};
        for (const std::string &a : args)
            rubyArgs << QString::fromStdString(a);
        QProcess ruby;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        ruby.setProcessEnvironment(env);
        ruby.start(QStringLiteral("ruby"), rubyArgs);
        ASSERT_TRUE(ruby.waitForFinished(30000));
        EXPECT_EQ(ruby.exitCode(), 0) << name.toStdString();
        LineList expected;
        const QByteArray out = ruby.readAllStandardOutput();
        expected.setText(std::string_view(out.constData(), out.size()));
        ASSERT_FALSE(expected.isEmpty()) << name.toStdString();

        LineList got;
        runScript(source.toStdString(), args, &got);
        EXPECT_EQ(linesOf(got), linesOf(expected)) << name.toStdString();
    }
}
