// Splitting a text in its own storage must give exactly what splitting a copy gives.
#include "runner/linelist.h"

#include <gtest/gtest.h>
#include <string>

TEST(LineListAdoptText, SplitsAsSetTextDoes)
{
    const std::string texts[] = {
        "",
        "a",
        "a\r\nb",
        "a\nb\n",
        "a\rb\r",
        "a\n\rb",
        "\r\n\r\n",
        "\n",
        "x\r",
        std::string("a\nb\0c\nd", 7),
        std::string("\0a", 2),
        "日本\r\n語\r",
        "ab\r\n\ncd",
        "\r\r\n\n",
        "a\r\nb\r\nc", // only the last line has to gain its break
        "\n\n\n",
        "a\nbb\r\nccc\rdddd", // every kind of break, each line moved a different distance
    };
    for (const std::string &text : texts) {
        LineList expected;
        expected.setText(text);
        LineList adopted{"stale"};
        adopted.adoptText(std::string(text));
        EXPECT_EQ(adopted, expected) << text;
        EXPECT_EQ(adopted.text(), expected.text()) << text;
    }
}
