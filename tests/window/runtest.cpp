#include "windowfixture.h"

#include "stoppablescripts.h"

#include "plinthar/plintharplugin.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QRegularExpression>
#include <QTimer>
#include <cstdio>
#include <functional>

using Message = TestView::Message;

namespace {

const QString Capitals = "ARGV.each { |l| print l.upcase, \"\\n\" }";

} // namespace

TEST_F(WindowFixture, RunReplacesTheSelectionWithTheScriptsOutput)
{
    view.document = "<ab\r\ncd>";
    view.select(1, 7);
    form->AttachToView(view.handle());
    view.messages.clear();
    run(Capitals);
    EXPECT_EQ(view.document, "<AB\r\nCD\r\n>");
    EXPECT_FALSE(form->isVisible());
    const std::vector<Message> expected = {{MSG_GET_SEL_TEXT, 0},
                                           {MSG_GET_SEL_TEXT, 6},
                                           {MSG_EXEC_COMMAND, CMD_DELETE},
                                           {MSG_INSERT_STRING, 0}};
    EXPECT_EQ(view.messages, expected);
}

TEST_F(WindowFixture, RunOverTheWholeDocumentSelectsAllFirst)
{
    view.document = "one\ntwo\n";
    form->AttachToView(view.handle());
    view.messages.clear();
    run(Capitals);
    EXPECT_EQ(view.document, "ONE\r\nTWO\r\n");
    ASSERT_FALSE(view.messages.empty());
    EXPECT_EQ(view.messages.front(), (Message{MSG_EXEC_COMMAND, CMD_SELECT_ALL}));
}

TEST_F(WindowFixture, RunOutputsTable)
{
    struct Case
    {
        const char *what;
        QString script;
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
        EXPECT_FALSE(form->isVisible()) << c.what;
    }
}

TEST_F(WindowFixture, RunWithSelectionOnlyAndNoSelectionInsertsAtTheCaret)
{
    view.document = "abc";
    view.select(1, 1);
    form->AttachToView(view.handle());
    control<QCheckBox>("chkSelectArea")->setChecked(true);
    view.messages.clear();
    run("puts ARGV.size");
    EXPECT_EQ(view.document, "a0\r\nbc");
    EXPECT_EQ(view.messages[2], (Message{MSG_EXEC_COMMAND, CMD_DELETE}));
}

TEST_F(WindowFixture, APluginFailureLeavesTheDocumentUntouchedAndTheWindowOpen)
{
    view.document = "precious";
    view.select(0, 8);
    view.forcedLength = -5; // a host answering nonsense
    form->AttachToView(view.handle());
    view.messages.clear();
    run(Capitals);
    EXPECT_EQ(view.document, "precious");
    EXPECT_TRUE(form->isVisible());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "windowtests");
    for (const Message &m : view.messages)
        EXPECT_NE(m, (Message{MSG_EXEC_COMMAND, CMD_DELETE}));
}

namespace {

class StopRun : public WindowFixture, public ::testing::WithParamInterface<StoppableScript>
{
protected:
    /// The output lines the running display shows, or 0.
    std::size_t linesShown() const
    {
        static const QRegularExpression count(QStringLiteral("出力 (\\d+) 行"));
        const QRegularExpressionMatch match = count.match(control<QLabel>("lblRunning")->text());
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
        auto *stop = control<QAbstractButton>("btnStop");
        if (sinceStop.isValid() || !stop->isVisible() || !stop->isEnabled() ||
            linesShown() < row.linesBefore)
            return;
        sinceStop.start();
        stop->click();
    });
    user.start();
    run(QStringLiteral("$ensured = false\nbegin\n%1\nensure\n$ensured = true\nend")
            .arg(QString::fromUtf8(row.source)));
    user.stop();

    ASSERT_TRUE(sinceStop.isValid()) << "the run never showed Stop";
    const qint64 stopMs = sinceStop.elapsed();
    std::printf("[ stopped  ] %s in %lld ms\n", row.name, static_cast<long long>(stopMs));
    EXPECT_LT(stopMs, 10'000) << "the script went on after Stop";
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(control<QLabel>("lblRunning")->text().toStdString(), "スクリプトを停止しました");
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(view.document, "one\ntwo\n");
    for (const Message &m : view.messages) {
        EXPECT_NE(m, (Message{MSG_EXEC_COMMAND, CMD_DELETE}));
        EXPECT_NE(m.id, platform::MessageId(MSG_INSERT_STRING));
    }

    // The script's ensure ran, and the next run works as ever.
    run("print $ensured, \"\\n\"\n" + Capitals);
    EXPECT_EQ(view.document, "true\r\nONE\r\nTWO\r\n");
    EXPECT_FALSE(form->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Stoppable, StopRun, ::testing::ValuesIn(StoppableScripts),
                         [](const ::testing::TestParamInfo<StoppableScript> &info) {
                             return std::string(info.param.name);
                         });

TEST_F(WindowFixture, EscapeCancelAndClosingMeanStopDuringARun)
{
    struct Case
    {
        const char *what;
        std::function<void(TfrmKorvex &)> press;
    };
    const Case cases[] = {
        {"Escape",
         [](TfrmKorvex &form) {
             QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QApplication::sendEvent(form.findChild<QPlainTextEdit *>("Memo1"), &escape);
         }},
        {"Cancel",
         [](TfrmKorvex &form) { form.findChild<QAbstractButton *>("SpeedButton2")->click(); }},
        {"the close button", [](TfrmKorvex &form) { form.close(); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        view.document = "keep";
        form->AttachToView(view.handle());
        bool pressed = false;
        QTimer user;
        user.setInterval(20);
        QObject::connect(&user, &QTimer::timeout, [&] {
            if (!pressed && control<QAbstractButton>("btnStop")->isVisible()) {
                pressed = true;
                c.press(*form);
            }
        });
        user.start();
        run("loop {}");
        EXPECT_TRUE(pressed);
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(view.document, "keep");
        form->hide();
    }
}
