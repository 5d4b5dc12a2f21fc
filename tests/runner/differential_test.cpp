// The same script gives the same output through the runner as through the `ruby` command.
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
};

} // namespace

TEST(Differential, RunnerAndRubyCommandGiveTheSameOutput)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    env.remove(QStringLiteral("RUBYOPT"));
    for (const Script &s : scripts) {
        const QString path = dir.filePath(QString::fromUtf8(s.name) + QStringLiteral(".rb"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(s.source.data(), static_cast<qint64>(s.source.size()));
        file.close();

        QStringList args{path};
        for (const std::string &a : s.args)
            args << QString::fromStdString(a);
        QProcess ruby;
        ruby.setProcessEnvironment(env);
        ruby.start(QStringLiteral("ruby"), args);
        ASSERT_TRUE(ruby.waitForFinished(30000)) << s.name;
        const QByteArray expectedText = ruby.readAllStandardOutput();
        EXPECT_EQ(ruby.exitCode(), 0) << s.name << ": " << ruby.readAllStandardError().data();
        LineList expected;
        expected.setText(std::string_view(expectedText.constData(), expectedText.size()));

        LineList got;
        runScript(s.source, s.args, &got);
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
