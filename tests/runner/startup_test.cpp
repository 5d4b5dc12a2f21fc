// Runs in its own process: it watches the runtime start, which happens once per process.
#include "runner/pseudo.h"
#include "runner/zerith.h"

#include <gtest/gtest.h>

#include <clocale>
#include <csignal>
#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace {

#ifndef _WIN32
void sigintHandler(int) {}
#endif

// Starts the runtime from a frame much deeper than any later call.
int startDeep(int depth)
{
    volatile char pad[256];
    pad[0] = static_cast<char>(depth);
    if (depth > 0)
        return startDeep(depth - 1) + pad[0];
    TZerith zerith;
    return 0;
}

// Under CTest every test runs in a process of its own, so each one starts what it needs.
void ensureStartedDeep()
{
    if (!IsRuntimeStarted())
        startDeep(200);
}

} // namespace

TEST(Startup, DesignModeStartsNothingAndTheFirstRealComponentStartsTheRuntime)
{
    {
        TZerith design(true);
        EXPECT_TRUE(design.isDesignMode());
        EXPECT_FALSE(IsRuntimeStarted());
        EXPECT_THROW(design.Execute(nullptr), std::logic_error);
    }
    EXPECT_FALSE(IsRuntimeStarted());

#ifdef _WIN32
    startDeep(200);
    EXPECT_TRUE(IsRuntimeStarted());
#else
    struct sigaction mine = {};
    mine.sa_handler = sigintHandler;
    sigaction(SIGINT, &mine, nullptr);

    startDeep(200);
    EXPECT_TRUE(IsRuntimeStarted());

    struct sigaction now = {};
    sigaction(SIGINT, nullptr, &now);
    EXPECT_EQ(now.sa_handler, &sigintHandler) << "the host's signal handler stays";
#ifdef __linux__
    EXPECT_EQ(prctl(PR_GET_THP_DISABLE, 0, 0, 0, 0), 0) << "the host's huge pages stay on";
#endif
#endif
}

TEST(Startup, CollectorWorksFromFramesShallowerThanTheStart)
{
    ensureStartedDeep();
    TZerith zerith;
    // Objects reachable only from locals of the script survive collections made from here.
    zerith.setScript(
        LineList{"a = Array.new(1000) { |i| 'x' * (i % 50) + i.to_s }",
                 "20.times { GC.start; GC.compact rescue nil; Array.new(10_000) { 'y' * 20 } }",
                 "print a.each_with_index.all? { |s, i| s.end_with?(i.to_s) }"});
    zerith.Execute(nullptr);
    EXPECT_EQ(Pseudo::OutputBuffer(), "true");
}

TEST(Startup, SecondComponentDoesNotRestartTheRuntime)
{
    ensureStartedDeep();
    TZerith first;
    first.setScript(LineList{"$started_once = 1"});
    first.Execute(nullptr);
    TZerith second;
    second.setScript(LineList{"print $started_once, $LOAD_PATH.uniq.size == $LOAD_PATH.size"});
    second.Execute(nullptr);
    EXPECT_EQ(Pseudo::OutputBuffer(), "1true");
}

int main(int argc, char **argv)
{
    std::setlocale(LC_ALL, "");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
