// The hostile corpus on Windows: the script files the Linux corpus runs, through plinthar.exe's
// frame with Korvex.dll, must leave the same documents (line ends aside). One process runs them
// all, so the Ruby runtime starts once.

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
};

// Scripts the Windows runtime answers differently by design; each is compared on Linux.
const WindowsDifference kDifferences[] = {
    {"deep_data", "open fault: under Wine the machine-stack overflow inside inspect leaves "
                  "the editor hanging instead of raising SystemStackError"},
    {"backticks", "it runs the POSIX printf command"},
    {"chdir", "the root folder is a drive there (C:/)"},
    {"daemon", "Windows has no fork"},
    {"fork", "Windows has no fork"},
    {"fork_open", "Windows has no fork"},
    {"fork_popen", "Windows has no fork"},
    {"process_fork", "Windows has no fork"},
    {"kill_child", "Windows has no POSIX signals"},
    {"kill_group", "Windows has no POSIX signals"},
    {"kill_int", "Windows has no POSIX signals"},
    {"kill_term", "Windows has no POSIX signals"},
    {"signal_trap", "Windows has no POSIX signals"},
    {"spawn", "it runs the POSIX true command"},
    {"system", "it runs the POSIX true command"},
    {"gets_argv", "the system's message for a missing file differs"},
    {"huge_allocation", "long is 32 bits there: the size is refused as too big for a long"},
};

const char *differenceOnWindows(const std::string &script)
{
    for (const WindowsDifference &d : kDifferences) {
        if (script == d.script)
            return d.reason;
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
    if (const char *reason = differenceOnWindows(c.script))
        GTEST_SKIP() << reason;
    ASSERT_EQ(frame->plugins().size(), 1u);
    const std::string name = std::string(c.script) + ".rb";
    writeScript(name, readCorpusScript(c.script));
    const BatchRun::Result outcome = run(kDocument, 0, 0, "", name);
    EXPECT_EQ(outcome.exitCode, 0) << outcome.message;
    // The script runs as its file, by the path the scripts folder gives it.
    EXPECT_EQ(frame->view().bytes(), replaced(c.expected, "%FILE%", scriptsFolder() + "\\" + name));

    writeScript("follow.rb", kFollowScript);
    const BatchRun::Result next = run(kFollowDocument, 0, 0, "", "follow.rb");
    EXPECT_EQ(next.exitCode, 0) << next.message;
    EXPECT_EQ(frame->view().bytes(), c.follow);
}

INSTANTIATE_TEST_SUITE_P(Corpus, HostileScript, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case> &info) {
                             return std::string(info.param.script);
                         });
