// Run over the editor text on Windows: the script in Korvex's editor filters the test host's
// document. The first case starts the Ruby runtime of the process.

#include "windowfixture.h"

using Message = TestHost::Message;

namespace {

const std::string Capitals = "ARGV.each { |l| print l.upcase, \"\\n\" }";

} // namespace

TEST_F(KorvexWindow, RunsTheScriptOverTheSelectionOrTheWholeDocument)
{
    writeScript("named.rb", "puts File.basename(__FILE__)");
    struct Case
    {
        const char *what;
        std::string document;
        std::size_t start, end; // the selection
        bool toggleSelectionOnly;
        std::string script; // typed into the editor; empty: chosen from the list
        std::string expected;
    };
    const std::string longLine(5000, 'x');
    const Case cases[] = {
        {"the selection", "<ab\r\ncd>", 1, 7, false, Capitals, "<AB\r\nCD\r\n>"},
        {"the whole document when nothing is selected", "one\ntwo\n", 0, 0, false, Capitals,
         "ONE\r\nTWO\r\n"},
        {"the whole document when selection only is cleared", "<ab>", 1, 3, true, Capitals,
         "<AB>\r\n"},
        {"at the caret when selection only is set with nothing selected", "abc", 1, 1, true,
         "puts ARGV.size", "a0\r\nbc"},
        {"a line of ARGV per line", "[a\n\nb]", 1, 5, false, "p ARGV",
         "[[\"a\", \"\", \"b\"]\r\n]"},
        {"a script that prints nothing removes the text", "[a\n\nb]", 1, 5, false, "x = 1", "[]"},
        {"output, then the error's message", "[a\n\nb]", 1, 5, false, "print 'x'\nraise 'boom'",
         "[xboom\r\n]"},
        {"standard error lands in the output", "[a]", 1, 2, false, "$stderr.puts 'e'\nputs 'o'",
         "[e\r\no\r\n]"},
        {"an editor line longer than 4096 bytes arrives whole", "[a]", 1, 2, false,
         "s = '" + longLine + "'\nputs s.size", "[5000\r\n]"},
        {"an unsaved script runs as untitled.rb", "[a]", 1, 2, false,
         "puts File.basename(__FILE__)", "[untitled.rb\r\n]"},
        {"a chosen script runs as its file", "[a]", 1, 2, false, "", "[named.rb\r\n]"},
    };
    for (const Case &c : cases) {
        host.document = c.document;
        host.select(c.start, c.end);
        host.messages.clear();
        command([&](const Controls &controls) {
            EXPECT_EQ(SendMessageW(controls.selectArea, BM_GETCHECK, 0, 0),
                      c.start != c.end ? BST_CHECKED : BST_UNCHECKED)
                << c.what;
            if (c.toggleSelectionOnly)
                SendMessageW(controls.selectArea, BM_CLICK, 0, 0);
            if (c.script.empty())
                choose(controls, "named.rb");
            else
                SetWindowTextA(controls.memo, c.script.c_str());
            press(controls, L"実行");
        });
        EXPECT_EQ(host.document, c.expected) << c.what;
        EXPECT_FALSE(IsWindowVisible(korvexWindow())) << c.what;
    }
    EXPECT_TRUE(answerer.boxes.empty());

    // The messages of a run over the selection.
    host.document = "<ab\r\ncd>";
    host.select(1, 7);
    command([&](const Controls &controls) {
        SetWindowTextA(controls.memo, Capitals.c_str());
        host.messages.clear();
        press(controls, L"実行");
    });
    EXPECT_EQ(host.messages, (std::vector<Message>{{MSG_GET_SEL_TEXT, 0},
                                                   {MSG_GET_SEL_TEXT, 6},
                                                   {MSG_EXEC_COMMAND, CMD_DELETE},
                                                   {MSG_INSERT_STRING, 0}}));
}

TEST_F(KorvexWindow, APluginFailureLeavesTheDocumentWholeAndTheWindowOpen)
{
    host.document = "precious";
    host.select(0, 8);
    host.forcedLength = -5; // a host answering nonsense
    command([&](const Controls &c) {
        SetWindowTextA(c.memo, Capitals.c_str());
        host.messages.clear();
        press(c, L"実行");
        whenNoBox([&, c] {
            EXPECT_TRUE(IsWindowVisible(c.form));
            ASSERT_EQ(answerer.boxes.size(), 1u);
            EXPECT_EQ(answerer.boxes[0].caption, "korvexwindowtests");
            // The message ends in ")", which takes no "." after it.
            EXPECT_EQ(answerer.boxes[0].text,
                      "The editor reported an invalid selection length (-5)");
            EXPECT_EQ(GetActiveWindow(), c.form) << "back to the window after the box";
            press(c, L"キャンセル");
        });
    });
    EXPECT_EQ(host.document, "precious");
    for (const Message &m : host.messages)
        EXPECT_NE(m, (Message{MSG_EXEC_COMMAND, CMD_DELETE}));
}
