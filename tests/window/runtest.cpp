#include "windowfixture.h"

#include "plinthar/plintharplugin.h"

#include <QCheckBox>

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
