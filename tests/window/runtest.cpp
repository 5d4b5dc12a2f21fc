// The run over the editor text, and stopping it, through the script window's core.

#include "formfixture.h"

#include "stoppablescripts.h"

#include "plinthar/plintharplugin.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTimer>
#include <cstdio>
#include <functional>

using Message = TestView::Message;
using RunState = FormView::RunState;

namespace {

const std::string Capitals = "ARGV.each { |l| print l.upcase, \"\\n\" }";

} // namespace

TEST_F(FormFixture, RunReplacesTheSelectionWithTheScriptsOutput)
{
    view.document = "<ab\r\ncd>";
    view.select(1, 7);
    form->AttachToView(view.handle());
    view.messages.clear();
    run(Capitals);
    EXPECT_EQ(view.document, "<AB\r\nCD\r\n>");
    EXPECT_FALSE(face->shown);
    const std::vector<Message> expected = {{MSG_GET_SEL_TEXT, 0},
                                           {MSG_GET_SEL_TEXT, 6},
                                           {MSG_EXEC_COMMAND, CMD_DELETE},
                                           {MSG_INSERT_STRING, 0}};
    EXPECT_EQ(view.messages, expected);
}

TEST_F(FormFixture, RunOverTheWholeDocumentSelectsAllFirst)
{
    view.document = "one\ntwo\n";
    form->AttachToView(view.handle());
    view.messages.clear();
    run(Capitals);
    EXPECT_EQ(view.document, "ONE\r\nTWO\r\n");
    ASSERT_FALSE(view.messages.empty());
    EXPECT_EQ(view.messages.front(), (Message{MSG_EXEC_COMMAND, CMD_SELECT_ALL}));
}

TEST_F(FormFixture, RunOutputsTable)
{
    struct Case
    {
        const char *what;
        std::string script;
        std::string expected;
    };
    const Case cases[] = {
        {"a script that prints nothing removes the text", "x = 1", "[]"},
        {"an empty editor is such a script", "", "[]"},
        {"output then a raise", "print 'x'\nraise 'boom'", "[xboom\r\n]"},
        {"a line of ARGV per line", "p ARGV", "[[\"a\", \"\", \"b\"]\r\n]"},
        {"stderr lands in the output", "$stderr.puts 'e'\nputs 'o'", "[e\r\no\r\n]"},
    };
    for (const Case &c : cases) {
        view.document = "[a\n\nb]";
        view.select(1, 5);
        form->AttachToView(view.handle());
        run(c.script);
        EXPECT_EQ(view.document, c.expected) << c.what;
        EXPECT_FALSE(face->shown) << c.what;
    }
}

TEST_F(FormFixture, RunWithSelectionOnlyAndNoSelectionInsertsAtTheCaret)
{
    view.document = "abc";
    view.select(1, 1);
    form->AttachToView(view.handle());
    face->selectionOnlyChecked = true;
    view.messages.clear();
    run("puts ARGV.size");
    EXPECT_EQ(view.document, "a0\r\nbc");
    EXPECT_EQ(view.messages[2], (Message{MSG_EXEC_COMMAND, CMD_DELETE}));
}

TEST_F(FormFixture, APluginFailureLeavesTheDocumentUntouchedAndTheWindowOpen)
{
    view.document = "precious";
    view.select(0, 8);
    view.forcedLength = -5; // a host answering nonsense
    form->AttachToView(view.handle());
    view.messages.clear();
    run(Capitals);
    EXPECT_EQ(view.document, "precious");
    EXPECT_TRUE(face->shown);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "windowtests");
    for (const Message &m : view.messages)
        EXPECT_NE(m, (Message{MSG_EXEC_COMMAND, CMD_DELETE}));
}

namespace {

class StopRun : public FormFixture, public ::testing::WithParamInterface<StoppableScript>
{
protected:
    /// The output lines the running display shows, or 0.
    std::size_t linesShown() const
    {
        static const QRegularExpression count(QStringLiteral("出力 (\\d+) 行"));
        const QRegularExpressionMatch match = count.match(QString::fromStdString(face->runText));
        return match.hasMatch() ? match.captured(1).toULongLong() : 0;
    }
};

} // namespace

TEST_P(StopRun, StopEndsTheScriptLeavingTheDocumentAndTheNextRunIntact)
{
    const StoppableScript &row = GetParam();
    view.document = "one\ntwo\n";
    form->AttachToView(view.handle());
    view.messages.clear();

    // Presses Stop as a user would, once the run shows itself with the script's lines written.
    QElapsedTimer sinceStop;
    QTimer user;
    user.setInterval(20);
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (sinceStop.isValid() || face->runState != RunState::Running ||
            linesShown() < row.linesBefore)
            return;
        sinceStop.start();
        form->btnStopClick();
    });
    user.start();
    run("$ensured = false\nbegin\n" + std::string(row.source) + "\nensure\n$ensured = true\nend");
    user.stop();

    ASSERT_TRUE(sinceStop.isValid()) << "the run never showed Stop";
    const qint64 stopMs = sinceStop.elapsed();
    std::printf("[ stopped  ] %s in %lld ms\n", row.name, static_cast<long long>(stopMs));
    EXPECT_LT(stopMs, 10'000) << "the script went on after Stop";
    EXPECT_TRUE(face->shown);
    EXPECT_EQ(face->runState, RunState::Stopped);
    EXPECT_EQ(face->runText, "スクリプトを停止しました");
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(view.document, "one\ntwo\n");
    for (const Message &m : view.messages) {
        EXPECT_NE(m, (Message{MSG_EXEC_COMMAND, CMD_DELETE}));
        EXPECT_NE(m.id, platform::MessageId(MSG_INSERT_STRING));
    }

    // The script's ensure ran, and the next run works as ever.
    run("print $ensured, \"\\n\"\n" + Capitals);
    EXPECT_EQ(view.document, "true\r\nONE\r\nTWO\r\n");
    EXPECT_FALSE(face->shown);
}

INSTANTIATE_TEST_SUITE_P(Stoppable, StopRun, ::testing::ValuesIn(StoppableScripts),
                         [](const ::testing::TestParamInfo<StoppableScript> &info) {
                             return std::string(info.param.name);
                         });

TEST_F(FormFixture, EscapeCancelAndClosingMeanStopDuringARun)
{
    struct Case
    {
        const char *what;
        std::function<void(TfrmKorvex &)> press;
    };
    const Case cases[] = {
        {"Escape", [](TfrmKorvex &form) { form.FormKeyDown(TfrmKorvex::VkEscape); }},
        {"Cancel", [](TfrmKorvex &form) { form.SpeedButton2Click(); }},
        {"the close button", [](TfrmKorvex &form) { form.FormClose(); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        view.document = "keep";
        form->AttachToView(view.handle());
        bool pressed = false;
        QTimer user;
        user.setInterval(20);
        QObject::connect(&user, &QTimer::timeout, [&] {
            if (!pressed && face->runState == RunState::Running) {
                pressed = true;
                c.press(*form);
            }
        });
        user.start();
        run("loop {}");
        EXPECT_TRUE(pressed);
        EXPECT_TRUE(face->shown);
        EXPECT_EQ(face->runState, RunState::Stopped);
        EXPECT_EQ(view.document, "keep");
    }
}
