#include "host/qt/editorview.h"
#include "hostmessages/hostmessages.h"
#include "platform/qt/windowregistry.h"
#include "plinthar/plintharplugin.h"

#include <array>
#include <gtest/gtest.h>

namespace {

class EditorViewTest : public ::testing::Test
{
protected:
    EditorView view{nullptr};

    void setText(const char *text, int start, int end)
    {
        view.loadBytes(text);
        view.selectRange(start, end);
    }
    std::string text() const { return std::string(view.bytes().data(), view.bytes().size()); }
};

TEST_F(EditorViewTest, IsAViewWindowOfItsOwnClass)
{
    std::array<char, 32> name{};
    platform::getClassName(view.handle(), name.data(), int(name.size()));
    EXPECT_STREQ(name.data(), "PlintharView");
    EXPECT_EQ(platform::widgetOf(view.handle()), &view);
}

TEST_F(EditorViewTest, AnswersTheSelectedBytesWithCrLfBreaks)
{
    struct Case
    {
        const char *text;
        int start, end;
        const char *selected;
    };
    const Case cases[] = {
        {"ab\ncd\nef", 1, 4, "b\r\nc"},
        {"ab\ncd", 0, 5, "ab\r\ncd"},
        {"abc", 1, 1, ""},
        {"x\n\ny", 0, 4, "x\r\n\r\ny"},
        {"caf\xc3\xa9", 3, 5, "\xc3\xa9"},
        {"a\r\nb\rc", 0, 6, "a\r\nb\r\nc"},
        // A lone CR as the selection's last byte is a whole break, not half of a CR LF.
        {"ab\rcd", 0, 3, "ab\r\n"},
        // Bytes that are no UTF-8 and a line separator inside a line stay as they are.
        {"caf\xe9\nx\xe2\x80\xa8y", 0, 10, "caf\xe9\r\nx\xe2\x80\xa8y"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        setText(c.text, c.start, c.end);
        EXPECT_EQ(plugin::getSelText(view.handle(), 0, nullptr),
                  platform::LResult(strlen(c.selected)));
        EXPECT_EQ(plugin::readSelectedText(view.handle()), c.selected);
        EXPECT_EQ(plugin::getSelType(view.handle()) != 0, c.start != c.end);
    }
}

TEST_F(EditorViewTest, CopiesAtMostTheBytesItMayAndATerminatorOnlyWithRoom)
{
    setText("abcdef", 0, 6);
    std::array<char, 8> buffer;
    buffer.fill('#');
    EXPECT_EQ(plugin::getSelText(view.handle(), 3, buffer.data()), 6);
    EXPECT_EQ(std::string(buffer.data(), 8), "abc#####");
    buffer.fill('#');
    EXPECT_EQ(plugin::getSelText(view.handle(), 7, buffer.data()), 6);
    EXPECT_EQ(std::string(buffer.data(), 8), std::string("abcdef\0#", 8));
    // The limit falls inside a break the view writes as CR LF.
    setText("ab\ncd", 0, 5);
    buffer.fill('#');
    EXPECT_EQ(plugin::getSelText(view.handle(), 3, buffer.data()), 6);
    EXPECT_EQ(std::string(buffer.data(), 8), "ab\r#####");
}

TEST_F(EditorViewTest, InsertsAtTheCaretWithEveryBreakKindAsOneInTheDocumentsStyle)
{
    struct Case
    {
        const char *insert;
        const char *result;
        LineEnding style = LineEnding::Lf;
    };
    const Case cases[] = {{"1\r\n2", "a1\n2b"},
                          {"1\n2", "a1\n2b"},
                          {"1\r2", "a1\n2b"},
                          {"1\n\r2", "a1\n\n2b"},
                          {"", "ab"},
                          {"1\n2\r3\r\n", "a1\r\n2\r\n3\r\nb", LineEnding::CrLf},
                          {"1\r\n2\n", "a1\r2\rb", LineEnding::Cr}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.insert);
        setText("ab", 1, 1);
        view.setLineEnding(c.style);
        plugin::insertString(view.handle(), c.insert);
        EXPECT_EQ(text(), c.result);
    }
}

TEST_F(EditorViewTest, SelectsAllAndDeletesTheSelection)
{
    setText("one\ntwo", 2, 2);
    plugin::execCommand(view.handle(), CMD_DELETE); // nothing selected: harmless
    EXPECT_EQ(text(), "one\ntwo");
    plugin::execCommand(view.handle(), CMD_SELECT_ALL);
    EXPECT_EQ(plugin::readSelectedText(view.handle()), "one\r\ntwo");
    plugin::execCommand(view.handle(), CMD_DELETE);
    plugin::insertString(view.handle(), "new");
    EXPECT_EQ(text(), "new");
}

TEST_F(EditorViewTest, PassesTheCommandIdOfAnUpdateToItsHandler)
{
    std::uint32_t seen = 0;
    view.setUpdateCommandHandler([&](std::uint32_t id) { seen = id; });
    plugin::updateCommand(view.handle(), 40001);
    EXPECT_EQ(seen, 40001u);
}

} // namespace
