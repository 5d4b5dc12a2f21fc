#include "host/qt/documentfile.h"

#include <gtest/gtest.h>

namespace {

TEST(DocumentFile, TakesTheStyleOfTheFirstBreak)
{
    struct Case
    {
        const char *bytes;
        LineEnding style;
    };
    const Case cases[] = {
        {"a\r\nb\r\n", LineEnding::CrLf}, {"a\nb", LineEnding::Lf},
        {"\r\nx", LineEnding::CrLf},      {"no break", LineEnding::Lf},
        {"a\rb\nc\r\n", LineEnding::Cr},  {"a\n\rb", LineEnding::Lf},
        {"x\r", LineEnding::Cr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(DocumentFile::detectLineEnding(c.bytes), c.style);
    }
}

} // namespace
