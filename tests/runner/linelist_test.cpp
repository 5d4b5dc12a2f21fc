#include "runner/linelist.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> linesOf(const LineList &list)
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < list.count(); ++i)
        out.emplace_back(list[i]);
    return out;
}

struct SplitCase
{
    const char *name;
    std::string text;
    std::vector<std::string> lines;
};

const std::vector<SplitCase> &splitCases()
{
    static const std::vector<SplitCase> cases = {
        {"Empty", "", {}},
        {"NoBreak", "abc", {"abc"}},
        {"TrailingLf", "a\n", {"a"}},
        {"TrailingCrLf", "a\r\n", {"a"}},
        {"TrailingCr", "a\r", {"a"}},
        {"CrLfThenLf", "a\r\nb\n", {"a", "b"}},
        {"DoubleLf", "a\n\nb", {"a", "", "b"}},
        {"LfCrIsTwoBreaks", "a\n\rb", {"a", "", "b"}},
        {"LoneCr", "a\rb", {"a", "b"}},
        {"OnlyBreak", "\n", {""}},
        {"TwoBreaks", "\r\n\r\n", {"", ""}},
        {"CrCrLf", "a\r\r\nb", {"a", "", "b"}},
        {"StopsAtNul", std::string("ab\ncd\0ef\ngh", 11), {"ab", "cd"}},
        {"NulFirst", std::string("\0abc", 4), {}},
        {"HighBytes", "\xc3\xa9t\xc3\xa9\n\x82\xa0", {"\xc3\xa9t\xc3\xa9", "\x82\xa0"}},
    };
    return cases;
}

} // namespace

TEST(LineList, SplitsTextByTheLineBreakRules)
{
    for (const SplitCase &c : splitCases()) {
        LineList list{"stale"};
        list.setText(c.text);
        EXPECT_EQ(linesOf(list), c.lines) << c.name;
    }
}

TEST(LineList, AppendTextKeepsThePresentLines)
{
    LineList list{"x"};
    list.appendText("a\nb");
    EXPECT_EQ(linesOf(list), (std::vector<std::string>{"x", "a", "b"}));
}

TEST(LineList, TextEndsEveryLineWithCrLf)
{
    const struct
    {
        LineList list;
        std::string text;
    } cases[] = {
        {LineList{}, ""},
        {LineList{""}, "\r\n"},
        {LineList{"a", "", "b"}, "a\r\n\r\nb\r\n"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(c.list.text(), c.text);
        EXPECT_EQ(c.list.textLength(), c.text.size());
    }
}

TEST(LineList, TextReadsBackAsTheSameLines)
{
    const LineList original{"one", "", "three", " "};
    LineList copy;
    copy.setText(original.text());
    EXPECT_EQ(copy, original);
}

TEST(LineList, CopyIsIndependentOfTheOriginal)
{
    LineList original{"a", "b"};
    LineList copy = original;
    original.append("c");
    original.extendLast("d");
    EXPECT_EQ(linesOf(copy), (std::vector<std::string>{"a", "b"}));
}

TEST(LineList, CStringTextStaysAsItWasWhateverHappensToTheList)
{
    using namespace std::string_literals;
    LineList list{"a", "b"};
    const LineList copy = list;
    const auto held = list.cStringText();
    EXPECT_EQ(*held, "a\0\nb\0\n"s);
    EXPECT_EQ(list.text(), "a\r\nb\r\n");
    EXPECT_EQ(list, copy);
    EXPECT_EQ(copy.text(), "a\r\nb\r\n"); // shared storage was copied, not changed
    list.extendLast("x");
    list.append("c");
    EXPECT_EQ(*held, "a\0\nb\0\n"s);
    EXPECT_EQ(list.text(), "a\r\nbx\r\nc\r\n");
    list.clear();
    list.setText("d");
    EXPECT_EQ(*held, "a\0\nb\0\n"s);
    EXPECT_EQ(list.takeText(), "d\r\n");
}

TEST(LineList, TakeTextAnswersTheTextAndEmptiesTheList)
{
    LineList alone{"a", "b"};
    EXPECT_EQ(alone.takeText(), "a\r\nb\r\n");
    EXPECT_TRUE(alone.isEmpty());

    LineList list{"c"};
    const LineList copy = list;
    EXPECT_EQ(list.takeText(), "c\r\n");
    EXPECT_EQ(copy.text(), "c\r\n"); // a copy keeps its lines
    EXPECT_EQ(LineList().takeText(), "");
}

TEST(LineList, ExtendLastStartsALineInAnEmptyList)
{
    LineList list;
    list.extendLast("a");
    list.extendLast("b");
    EXPECT_EQ(linesOf(list), (std::vector<std::string>{"ab"}));
}
