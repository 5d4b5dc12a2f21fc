#include "pluginfixture.h"

#include <cstring>

TEST_F(PluginFixture, AnswersTheFixedQueries)
{
    const std::pair<uint32_t, intptr_t> cases[] = {{0x900, 0}, {0x901, 1}, {0x903, 0}, {0x905, 0},
                                                   {0x906, 1}, {0x90A, 0}, {0, 0}};
    for (auto [message, expected] : cases)
        EXPECT_EQ(korvex.PlugInProc(view, message, 0, 0), expected) << std::hex << message;
}

TEST_F(PluginFixture, TextAnswersCopyWhatFitsAndAnswerTheFullLength)
{
    struct Case
    {
        uint32_t message;
        uintptr_t size;
        const char *expected; // buffer content; nullptr: untouched
        intptr_t answer;
    };
    const Case cases[] = {
        {PLUGIN_QUERY_VERSION, 64, "1.00", 4}, {PLUGIN_QUERY_VERSION, 3, "1.", 4},
        {PLUGIN_QUERY_VERSION, 1, "", 4},      {PLUGIN_QUERY_VERSION, 0, nullptr, 4},
        {PLUGIN_QUERY_DESCRIPTION, 64, "", 0},
    };
    for (const Case &c : cases) {
        char buffer[64];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(korvex.PlugInProc(view, c.message, c.size, reinterpret_cast<intptr_t>(buffer)),
                  c.answer);
        if (c.expected)
            EXPECT_STREQ(buffer, c.expected) << c.size;
        else
            EXPECT_EQ(buffer[0], '#');
    }
    EXPECT_EQ(korvex.PlugInProc(view, PLUGIN_QUERY_VERSION, 10, 0), 4) << "no buffer";
}

TEST_F(PluginFixture, ChoosesTheBitmapBySizeDepthAndLook)
{
    const std::pair<uintptr_t, intptr_t> cases[] = {
        {0x0, 101},   {0x100, 101}, {0x200, 101}, {0x10, 106},  {0x110, 105}, {0x210, 107},
        {0x310, 105}, {0x20, 109},  {0x120, 108}, {0x220, 111}, {0x30, 109},  {0x1, 104},
        {0x301, 104}, {0x11, 113},  {0x111, 112}, {0x211, 114}, {0x311, 112}, {0x21, 116},
        {0x121, 115}, {0x221, 117}, {0x31, 116},
    };
    for (auto [bits, id] : cases)
        EXPECT_EQ(korvex.PlugInProc(view, PLUGIN_QUERY_BITMAP, bits, 0), id) << std::hex << bits;
}

TEST_F(PluginFixture, MaskIsMagentaOnlyForTheManyColourBitmaps)
{
    const std::pair<uintptr_t, intptr_t> cases[] = {
        {0x0, 0}, {0x1, 0}, {0x300, 0}, {0x10, 0x00FF00FF}, {0x20, 0x00FF00FF}, {0x31, 0x00FF00FF}};
    for (auto [bits, colour] : cases)
        EXPECT_EQ(korvex.PlugInProc(view, PLUGIN_QUERY_MASK, bits, 0), colour) << std::hex << bits;
}

TEST_F(PluginFixture, UninstallAsksAndAnswersTheChoice)
{
    boxAnswer = platform::MessageBoxResult::Yes;
    EXPECT_EQ(korvex.PlugInProc(view, PLUGIN_QUERY_UNINSTALL, 0, 0), 1);
    boxAnswer = platform::MessageBoxResult::No;
    EXPECT_EQ(korvex.PlugInProc(view, PLUGIN_QUERY_UNINSTALL, 0, 0), 0);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], "アンインストールしてもいいですか？");
}
