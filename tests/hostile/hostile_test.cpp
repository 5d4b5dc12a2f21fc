#include "hostilecorpus.h"
#include "hostileeditor.h"

#include <QDir>
#include <QFile>
#include <atomic>
#include <csignal>
#include <gtest/gtest.h>

namespace {

void PrintTo(const Case &c, std::ostream *out)
{
    *out << c.script;
}

QByteArray readScript(const char *name)
{
    QFile file(QStringLiteral(HOSTILE_SCRIPTS "/%1.rb").arg(QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// Runs @p name over kDocument and checks what every run owes the user whatever the script
/// did: the editor lives, the window closes, the standard streams are back. Answers the run.
HostileEditor::Outcome runHarmlessly(HostileEditor &editor, const QString &name)
{
    HostileEditor::Outcome outcome = editor.run(name, QString::fromLatin1(kDocument));
    EXPECT_TRUE(outcome.closed) << outcome.box.toStdString();
    EXPECT_EQ(editor.streamFaults().toStdString(), "");
    return outcome;
}

/// The ordinary run after a hostile one still sees its ARGV and is heard.
void expectOrdinaryRun(HostileEditor &editor, const char *follow = kFollowOutput)
{
    editor.addScript(QStringLiteral("follow.rb"), kFollowScript);
    const HostileEditor::Outcome next =
        editor.run(QStringLiteral("follow.rb"), QString::fromLatin1(kFollowDocument));
    EXPECT_TRUE(next.closed) << next.box.toStdString();
    EXPECT_EQ(next.document.toStdString(), follow);
    EXPECT_EQ(editor.streamFaults().toStdString(), "");
}

class HostileScript : public ::testing::TestWithParam<Case>
{
};

TEST_P(HostileScript, LeavesTheEditorRunningAndTheDocumentAsExpected)
{
    const Case &c = GetParam();
    HostileEditor editor;
    ASSERT_EQ(editor.loadError().toStdString(), "");
    const QByteArray source = readScript(c.script);
    ASSERT_TRUE(!source.isEmpty() || QByteArray(c.script) == "empty") << c.script;
    const QString name = QString::fromLatin1(c.script) + QStringLiteral(".rb");
    editor.addScript(name, source);

    const HostileEditor::Outcome outcome = runHarmlessly(editor, name);
    // The outcome holds the document decoded from UTF-8, so must the expectation.
    const QString expected = QString::fromLocal8Bit(c.expected)
                                 .replace(QStringLiteral("%FILE%"), editor.scriptPath(name));
    EXPECT_EQ(outcome.document.toStdString(), expected.toStdString());
    expectOrdinaryRun(editor, c.follow);
}

INSTANTIATE_TEST_SUITE_P(Corpus, HostileScript, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case> &info) {
                             return std::string(info.param.script);
                         });

TEST(HostileOutput, HundredMegabytesReachTheDocumentWhole)
{
    HostileEditor editor;
    ASSERT_EQ(editor.loadError().toStdString(), "");
    editor.addScript(QStringLiteral("output_100mb.rb"), readScript("output_100mb"));
    const HostileEditor::Outcome outcome = runHarmlessly(editor, QStringLiteral("output_100mb.rb"));
    // 1,000 lines of 99,999 bytes and a break each; compared by shape, not printed on failure.
    const QString line = QString(99'999, QLatin1Char('y')) + QLatin1Char('\n');
    EXPECT_EQ(outcome.document.size(), 1'000 * line.size());
    EXPECT_EQ(outcome.document.count(QLatin1Char('y')), 1'000 * 99'999);
    EXPECT_TRUE(outcome.document.startsWith(line) && outcome.document.endsWith(line));
    expectOrdinaryRun(editor);
}

TEST(HostileSource, ScriptOfTenMegabytesRuns)
{
    HostileEditor editor;
    ASSERT_EQ(editor.loadError().toStdString(), "");
    QByteArray source;
    const QByteArray filler(90, 'f');
    for (int i = 0; i < 100'000; ++i)
        source += "v = \"" + filler + QByteArray::number(i) + "\"\n";
    source += "puts v.size, ARGV.size\n";
    ASSERT_GE(source.size(), 10'000'000);
    editor.addScript(QStringLiteral("ten_megabytes.rb"), source);
    const HostileEditor::Outcome outcome =
        runHarmlessly(editor, QStringLiteral("ten_megabytes.rb"));
    EXPECT_EQ(outcome.document.toStdString(), "95\n2\n");
    expectOrdinaryRun(editor);
}

TEST(HostileSource, LinesOfAHundredThousandBytesArriveWhole)
{
    struct LongLine
    {
        QByteArray source;
        std::string document;
    };
    const QByteArray zs(100'000, 'z');
    const LongLine cases[] = {
        {"# " + zs + "\nputs ARGV.join(\",\")\n", "alpha,beta\n"},
        // The script editor keeps long lines whole, so the string keeps its closing quote.
        {"puts \"" + zs + "\".size\n", "100000\n"},
    };
    HostileEditor editor;
    ASSERT_EQ(editor.loadError().toStdString(), "");
    for (const LongLine &c : cases) {
        SCOPED_TRACE(c.document);
        editor.addScript(QStringLiteral("long_line.rb"), c.source);
        const HostileEditor::Outcome outcome =
            runHarmlessly(editor, QStringLiteral("long_line.rb"));
        EXPECT_EQ(outcome.document.toStdString(), c.document);
        expectOrdinaryRun(editor);
    }
}

std::atomic<int> hostChildSignals{0};

void countHostChildSignal(int)
{
    ++hostChildSignals;
}

TEST(HostileChildren, ScriptsWaitForTheirChildrenAndAHostHandlerStillHearsOfThem)
{
    // An editor with a SIGCHLD handler of its own, installed before the runtime starts.
    struct sigaction counting = {};
    counting.sa_handler = countHostChildSignal;
    sigemptyset(&counting.sa_mask);
    struct sigaction before = {};
    sigaction(SIGCHLD, &counting, &before);
    {
        HostileEditor editor;
        ASSERT_EQ(editor.loadError().toStdString(), "");
        editor.addScript(QStringLiteral("system.rb"), readScript("system"));
        const HostileEditor::Outcome outcome = runHarmlessly(editor, QStringLiteral("system.rb"));
        EXPECT_EQ(outcome.document.toStdString(), "true\nfalse\n3\n");
        EXPECT_GE(hostChildSignals.load(), 2);
        expectOrdinaryRun(editor);
    }
    sigaction(SIGCHLD, &before, nullptr);
}

} // namespace
