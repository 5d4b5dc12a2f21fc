#include "window/scripttext.h"
#include "platform/textcoding.h"
#include "window/exceptionbox.h"

#include <clocale>
#include <gtest/gtest.h>

using namespace std::string_literals;

struct BreakCase
{
    std::string in;
    std::string out;
};

TEST(ScriptText, NormalizesEveryLineBreakToCarriageReturnLineFeed)
{
    const BreakCase cases[] = {
        {"", ""},
        {"a", "a"},
        {"a\rb", "a\r\nb"},
        {"a\nb", "a\r\nb"},
        {"a\r\nb", "a\r\nb"},
        {"a\n\rb", "a\r\nb"},     // LF CR is one break
        {"a\r\rb", "a\r\n\r\nb"}, // two lone CRs are two breaks
        {"a\n\nb", "a\r\n\r\nb"},
        {"a\r\n\rb", "a\r\n\r\nb"},
        {"end\n", "end\r\n"},
        {"a\0b\nc"s, "a"}, // up to the first NUL
        {"\xe6\x97\xa5\n\xff\xfe\r"s, "\xe6\x97\xa5\r\n\xff\xfe\r\n"s},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ScriptText::normalizeLineBreaks(c.in), c.out) << c.in;
}

TEST(ScriptText, EditorRoundTripKeepsEveryByte)
{
    const std::string samples[] = {
        "plain ascii",
        "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e caf\xc3\xa9",     // valid UTF-8
        "bad \xff\xfe byte and lone \x80 continuation",         // invalid bytes
        "truncated \xe6\x97",                                   // cut multibyte character
        "surrogate encoded \xed\xa0\x80 and overlong \xc0\xaf", // invalid in UTF-8
        "emoji \xf0\x9f\x98\x80 no-break\xc2\xa0space",
    };
    for (const std::string &bytes : samples)
        EXPECT_EQ(platform::editorBytes(platform::editorText(bytes)), bytes) << bytes;
}

TEST(ScriptText, AFileIsShownInTheCodingTheRubyCommandReadsItIn)
{
    // A coding of its own for the system, so that UTF-8 and the system's are told apart.
    const std::string saved = std::setlocale(LC_CTYPE, nullptr);
    ASSERT_NE(std::setlocale(LC_CTYPE, "C"), nullptr);
    ASSERT_NE(platform::systemCoding(), platform::TextCoding::Utf8);
    using platform::TextCoding;
    const TextCoding system = platform::systemCoding();
    const struct
    {
        std::string bytes;
        TextCoding coding;
    } cases[] = {
        {"puts '\xc3\xa9'\n", TextCoding::Utf8},             // valid UTF-8
        {"puts 1\n", TextCoding::Utf8},                      // ASCII
        {"puts '\x93\xfa'\n", system},                       // not UTF-8, nothing said
        {"\xef\xbb\xbfputs '\x93\xfa'\n", TextCoding::Utf8}, // a byte-order mark
        {"# -*- coding: UTF-8 -*-\nputs '\x93\xfa'", TextCoding::Utf8},
        {"#!/usr/bin/ruby\n# encoding: utf-8\nputs '\x93'", TextCoding::Utf8},
        {"# vim: set fileencoding=utf8 :\nputs '\x93'", TextCoding::Utf8},
        {"# coding: shift_jis\nputs '\xc3\xa9'", system}, // another coding named
        {"x = 1\n# coding: utf-8\nputs '\x93'", system},  // too late for a magic comment
        {"puts 'coding: utf-8 \x93'", system},            // not a comment
    };
    for (const auto &c : cases)
        EXPECT_EQ(ScriptText::fileCoding(c.bytes), c.coding) << c.bytes;
    std::setlocale(LC_CTYPE, saved.c_str());
}

TEST(ExceptionBox, AppendsAPeriodOnlyAfterCharactersAboveIt)
{
    const BreakCase cases[] = {
        {"", ""},
        {"boom", "boom."},
        {"done.", "done."},
        {"what?", "what?."}, // '?' is above '.'
        {"a,", "a,"},        // ',' is below
        {"a!", "a!"},
        {"a ", "a "},
        {"a/", "a/."},
        {"開けません", "開けません."}, // a multibyte character counts by its first byte
    };
    for (const auto &c : cases)
        EXPECT_EQ(ExceptionBox::text(c.in), c.out) << c.in;
}
