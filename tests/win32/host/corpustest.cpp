// The hostile corpus on Windows: the script files the Linux corpus runs, through plinthar.exe's
// frame with Korvex.dll, must leave the same documents (line ends aside), or, where Windows
// differs by design, what the runtime's ruby.exe prints there. One process runs them all, so
// the Ruby runtime starts once.

#include "hostilecorpus.h"
#include "plintharfixture.h"
#include "windowfixture.h"

#include <fstream>
#include <sstream>

namespace {

struct WindowsDifference
{
    const char *script;
    const char *reason;
    /// The document the script leaves on Windows, as the runtime's ruby.exe prints it there;
    /// none where that depends on the machine (the row is skipped).
    const char *expected;
};

// Scripts the Windows runtime answers differently by design; each is compared on Linux with
// the shared table, here with what ruby.exe gives under Wine.
const WindowsDifference kDifferences[] = {
    {"backticks", "it runs the POSIX printf command",
     "from a child\nNo such file or directory - printf \"%s\" piped\n"},
    {"chdir", "the root folder is the current drive's there", nullptr},
    {"kill_child", "it runs the POSIX sleep command (and Windows sends no TERM to another process)",
     "1\nNo such file or directory - sleep 5\n"},
    {"spawn", "it runs the POSIX true command", "No such file or directory - true\n"},
    {"system", "it runs the POSIX true command (system answers nil when it cannot start one)",
     "\nfalse\n3\n"},
    {"huge_allocation", "long is 32 bits there: the size is refused as too big for a long",
     "before\nbignum too big to convert into `long'\n"},
};

const WindowsDifference *differenceOnWindows(const std::string &script)
{
    for (const WindowsDifference &d : kDifferences) {
        if (script == d.script)
            return &d;
    }
    return nullptr;
}

std::string readCorpusScript(const std::string &name)
{
    std::ifstream file(std::string(HOSTILE_SCRIPTS) + "/" + name + ".rb", std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

std::string replaced(std::string text, const std::string &what, const std::string &with)
{
    for (std::size_t at = text.find(what); at != std::string::npos;
         at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
    return text;
}

void PrintTo(const Case &c, std::ostream *out)
{
    *out << c.script;
}

class HostileScript : public PlintharFrame, public ::testing::WithParamInterface<Case>
{
};

} // namespace

TEST_P(HostileScript, LeavesTheSameDocumentAsOnLinux)
{
    const Case &c = GetParam();
    const WindowsDifference *difference = differenceOnWindows(c.script);
    if (difference && !difference->expected)
        GTEST_SKIP() << difference->reason;
    ASSERT_EQ(frame->plugins().size(), 1u);
    const std::string name = std::string(c.script) + ".rb";
    writeScript(name, readCorpusScript(c.script));
    const BatchRun::Result outcome = run(kDocument, 0, 0, "", name);
    EXPECT_EQ(outcome.exitCode, 0) << outcome.message;
    // The script runs as its file, by the path the scripts folder gives it.
    EXPECT_EQ(frame->view().bytes(), replaced(difference ? difference->expected : c.expected,
                                              "%FILE%", scriptsFolder() + "\\" + name))
        << (difference ? difference->reason : "");

    writeScript("follow.rb", kFollowScript);
    const BatchRun::Result next = run(kFollowDocument, 0, 0, "", "follow.rb");
    EXPECT_EQ(next.exitCode, 0) << next.message;
    EXPECT_EQ(frame->view().bytes(), c.follow);
}

INSTANTIATE_TEST_SUITE_P(Corpus, HostileScript, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case> &info) {
                             return std::string(info.param.script);
                         });
