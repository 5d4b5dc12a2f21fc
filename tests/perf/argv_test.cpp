// ARGV is built from one shared buffer; every element must still behave as an independent,
// frozen String of its line, as `ruby_set_argv` made it.
#include "runner/linelist.h"
#include "runner/pseudo.h"
#include "runner/zerith.h"

#include <gtest/gtest.h>
#include <string>

namespace {

std::string run(const std::string &script, const LineList &params)
{
    TZerith zerith;
    LineList s;
    s.setText(script);
    zerith.setScript(s);
    zerith.setParams(params);
    zerith.Execute(nullptr);
    return Pseudo::OutputBuffer();
}

const std::string Long = "0123456789abcdefghijklmnopqrstuvwxyz"; // longer than an embedded String

} // namespace

TEST(SharedArgv, ElementsAreTheirLinesFrozenInTheDefaultExternalCoding)
{
    struct Case
    {
        const char *what;
        LineList params;
        std::string expected;
    };
    const Case cases[] = {
        {"short and long lines", LineList{"a", Long, ""},
         "[\"a\", true, \"UTF-8\"][\"" + Long + "\", true, \"UTF-8\"][\"\", true, \"UTF-8\"]"},
        {"a line is cut at a NUL, as a C string", LineList{std::string_view("x\0y", 3), "z"},
         "[\"x\", true, \"UTF-8\"][\"z\", true, \"UTF-8\"]"},
        {"multi-byte text", LineList{"日本語のテキスト" + Long},
         "[\"日本語のテキスト" + Long + "\", true, \"UTF-8\"]"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(run("ARGV.each { |a| print [a, a.frozen?, a.encoding.to_s].inspect }", c.params),
                  c.expected)
            << c.what;
}

// The elements share a buffer in which each is followed by the next line's bytes, not by a
// NUL: whatever in the runtime wants a C string must still see only the element.
TEST(SharedArgv, ElementsServeWhereTheRuntimeWantsACString)
{
    const LineList params{"12", "1.5", "dir/" + Long + ".rb", "7"};
    EXPECT_EQ(run("print Integer(ARGV[0]) + 1, ' ', Float(ARGV[1]) * 2, ' ', ARGV[0].to_f, ' ', "
                  "File.basename(ARGV[2]), ' ', ARGV[2].to_sym.size, ' ', File.exist?(ARGV[2]), "
                  "' ', ARGV[3].to_r, ' ', ARGV[0].unpack1('Z*')",
                  params),
              "13 3.0 12.0 " + Long + ".rb " + std::to_string(params[2].size()) + " false 7/1 12");
}

TEST(SharedArgv, ChangingACopyOfOneElementLeavesTheOthersAlone)
{
    const LineList params{Long + "1", Long + "2"};
    EXPECT_EQ(
        run("b = ARGV[0].dup; b[0, 5] = 'XXXXX'; b << '!'; print b, ' ', ARGV.join(' ')", params),
        "XXXXX" + Long.substr(5) + "1! " + Long + "1 " + Long + "2");
}

TEST(SharedArgv, AnElementKeptByAScriptOutlivesTheRunAndItsParams)
{
    {
        LineList params{Long + "kept"};
        run("$korvex_kept = ARGV[0]", params);
    }
    run("GC.start", LineList{"other"});
    EXPECT_EQ(run("print $korvex_kept", {}), Long + "kept");
}

TEST(SharedArgv, ElementsKeepTheirTextThroughACompactingCollection)
{
    {
        LineList params{Long + "a", Long + "b"};
        run("$korvex_kept = ARGV.last; GC.compact", params);
    }
    EXPECT_EQ(run("GC.compact; GC.start; print $korvex_kept, ARGV.join", LineList{Long}),
              Long + "b" + Long);
}

TEST(SharedArgv, UnderAnAsciiDefaultCodingNonAsciiArgumentsAreBinaryAsBefore)
{
    run("$korvex_saved = Encoding.default_external; Encoding.default_external = 'US-ASCII'", {});
    const std::string out = run("print ARGV.map { |a| a.encoding.to_s }.join(','); "
                                "Encoding.default_external = $korvex_saved",
                                LineList{"abc", "日本"});
    EXPECT_EQ(out, "US-ASCII,ASCII-8BIT");
}
