// The view keeps the selected text from the length query for the copy query; any change in
// between must make the copy query answer the current selection.
#include "host/qt/editorview.h"
#include "hostmessages/hostmessages.h"

#include <array>
#include <functional>
#include <gtest/gtest.h>

TEST(EditorViewSelection, CopyQueryAnswersTheSelectionAsItIsThen)
{
    struct Case
    {
        const char *what;
        std::function<void(EditorView &)> between;
        const char *copied;
    };
    const Case cases[] = {
        {"no change", [](EditorView &) {}, "bcd"},
        {"selection moved", [](EditorView &v) { v.selectRange(0, 2); }, "ab"},
        {"text edited", [](EditorView &v) { v.loadBytes("xyz"), v.selectRange(0, 3); }, "xyz"},
        {"text inserted in the selection",
         [](EditorView &v) {
             v.replaceSelection("Q");
             v.selectRange(0, 3);
         },
         "aQe"},
    };
    for (const Case &c : cases) {
        EditorView view(nullptr);
        view.loadBytes("abcde");
        view.selectRange(1, 4);
        EXPECT_EQ(plugin::getSelText(view.handle(), 0, nullptr), 3) << c.what;
        c.between(view);
        std::array<char, 8> buffer{};
        const platform::LResult length =
            plugin::getSelText(view.handle(), buffer.size() - 1, buffer.data());
        EXPECT_STREQ(buffer.data(), c.copied) << c.what;
        EXPECT_EQ(length, platform::LResult(std::strlen(c.copied))) << c.what;
    }
}

TEST(EditorViewSelection, ReadingTwiceGivesTheSameTextEachTime)
{
    EditorView view(nullptr);
    view.loadBytes("one\ntwo");
    view.selectAll();
    EXPECT_EQ(plugin::readSelectedText(view.handle()), "one\r\ntwo");
    EXPECT_EQ(plugin::readSelectedText(view.handle()), "one\r\ntwo");
}
