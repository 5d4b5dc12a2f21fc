// Korvex.dll in plinthar.exe's frame: loading, registration, the command over a selection and
// over the document, undo, and the release.

#include "plintharfixture.h"
#include "windowfixture.h"

#include "host/linebreaks.h"

#include <commctrl.h>

namespace {

std::wstring menuString(HMENU menu, UINT id)
{
    wchar_t text[128] = {};
    GetMenuStringW(menu, id, text, int(std::size(text)), MF_BYCOMMAND);
    return text;
}

HMENU pluginMenu(const MainFrame &frame)
{
    return GetSubMenu(GetMenu(frame.handle()), 2);
}

} // namespace

TEST_F(PlintharFrame, LoadsKorvexAndShowsItsMenuEntryBitmapStatusTextAndVersion)
{
    ASSERT_TRUE(loadErrors.empty()) << loadErrors.front();
    ASSERT_EQ(frame->plugins().size(), 1u);
    const MainFrame::InstalledPlugin &korvex = frame->plugins()[0];
    EXPECT_EQ(menuString(pluginMenu(*frame), korvex.commandId), L"Run Ruby Script");
    // The refresh event's MSG_UPDATE_COMMAND asked QueryStatus, which enables the command.
    EXPECT_EQ(GetMenuState(pluginMenu(*frame), korvex.commandId, MF_BYCOMMAND) & MF_GRAYED, 0u);
    ASSERT_EQ(SendMessageW(frame->toolBar(), TB_BUTTONCOUNT, 0, 0), 1);
    TBBUTTON button = {};
    SendMessageW(frame->toolBar(), TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&button));
    EXPECT_EQ(button.idCommand, int(korvex.commandId));
    EXPECT_GE(button.iBitmap, 0) << "the button shows the plug-in's bitmap";
    EXPECT_NE(SendMessageW(frame->toolBar(), TB_ISBUTTONENABLED, korvex.commandId, 0), 0);
    SendMessageW(frame->handle(), WM_MENUSELECT, MAKEWPARAM(korvex.commandId, MF_STRING),
                 reinterpret_cast<LPARAM>(pluginMenu(*frame)));
    EXPECT_EQ(wideTextOf(frame->statusBar()), L"Run Ruby Script");
    EXPECT_EQ(korvex.library->version(frame->view().handle()), L"1.00");
}

TEST_F(PlintharFrame, RunsOverTheSelectionOrTheDocumentAsOneUndoStep)
{
    ASSERT_EQ(frame->plugins().size(), 1u);
    const std::string upcase = "ARGV.each { |l| puts l.upcase }";
    struct Case
    {
        const char *what;
        std::string document;
        std::size_t start, end; // file offsets
        std::string expected;
    };
    const Case cases[] = {
        {"the selection of a CR LF document", "ab\r\ncd\r\nef\r\n", 4, 8, "ab\r\nCD\r\nef\r\n"},
        {"the whole LF document, which keeps its breaks", "one\ntwo\n", 0, 0, "ONE\nTWO\n"},
        {"a selection of a LF document, offsets in the file's bytes", "a\nb\nc\n", 2, 4,
         "a\nB\nc\n"},
        {"a CR document", "x\ry\r", 0, 0, "X\rY\r"},
        {"a selection whose first character the script keeps", "ab\r\n1x\r\nef\r\n", 4, 8,
         "ab\r\n1X\r\nef\r\n"},
    };
    for (const Case &c : cases) {
        const BatchRun::Result result = run(c.document, c.start, c.end, upcase);
        EXPECT_EQ(result.exitCode, 0) << c.what << ": " << result.message;
        EXPECT_EQ(frame->view().bytes(), c.expected) << c.what;
        ASSERT_TRUE(frame->view().canUndo()) << c.what;
        frame->view().undo();
        EXPECT_EQ(frame->view().bytes(), c.document) << c.what << ": one undo takes it all back";
        // Undo selects the text the command replaced (the selection, else the document).
        const std::pair<std::size_t, std::size_t> replaced =
            c.start == c.end ? std::pair(std::size_t(0), frame->view().viewBytes().size())
                             : std::pair(LineBreaks::crLfOffset(c.document, c.start),
                                         LineBreaks::crLfOffset(c.document, c.end));
        EXPECT_EQ(frame->view().selectionRange(), replaced) << c.what;
    }
}

TEST_F(PlintharFrame, AFailingRunReportsItsBoxAndLeavesTheDocument)
{
    ASSERT_EQ(frame->plugins().size(), 1u);
    const BatchRun::Result missing = run("keep\n", 0, 0, "", "missing.rb");
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_EQ(missing.message, "The script \"missing.rb\" is not in the scripts list.");
    EXPECT_EQ(frame->view().bytes(), "keep\n");
}

TEST_F(PlintharFrame, UninstallAsksThePluginAndReleasesIt)
{
    ASSERT_EQ(frame->plugins().size(), 1u);
    const std::uint32_t id = frame->plugins()[0].commandId;
    ASSERT_EQ(run("a\n", 0, 0, "puts 1").exitCode, 0); // the script window now exists
    {
        MessageBoxAnswerer answerer;
        answerer.answer = IDNO;
        EXPECT_FALSE(frame->uninstallPlugin(0));
        ASSERT_EQ(answerer.boxes.size(), 1u);
        EXPECT_EQ(answerer.boxes[0].caption, "UnInstall");
    }
    EXPECT_EQ(frame->plugins().size(), 1u);
    MessageBoxAnswerer answerer;
    answerer.answer = IDYES;
    EXPECT_TRUE(frame->uninstallPlugin(0));
    EXPECT_TRUE(frame->plugins().empty());
    EXPECT_EQ(menuString(pluginMenu(*frame), id), L"");
    EXPECT_EQ(SendMessageW(frame->toolBar(), TB_BUTTONCOUNT, 0, 0), 0);
    EXPECT_EQ(FindWindowW(L"TfrmKorvex", nullptr), nullptr) << "the release destroyed it";
}
