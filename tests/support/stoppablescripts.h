#pragma once

#include <cstddef>
#include <ostream>

/// Scripts that never end by themselves, each stuck a different way, for the tests that stop
/// them: from the script window (windowtests), by batch mode's time limit (e2e_tests and, on
/// Windows, plintharwin32tests_timelimit), and through the run on Windows (korvexstoptests).
/// Each runs on every system as it is.
struct StoppableScript
{
    const char *name;   // the row's name
    const char *source; // the script
    /// Lines the script has written before it is stopped (the Stop waits for them).
    std::size_t linesBefore = 0;
    /// Whether the script rescues the Interrupt of a first Stop, so that only the grace period
    /// (or a second Stop) ends it.
    bool rescuesStop = false;
};

inline constexpr StoppableScript StoppableScripts[] = {
    {"busyLoop", "loop {}"},
    {"loopRescuingException", "loop { begin; sleep; rescue Exception; end }", 0, true},
    {"sleep", "sleep 1000"},
    // A child that exists wherever the editor runs: the runtime's own ruby command.
    {"childProcess", "system(RbConfig.ruby, \"-e\", \"sleep 1000\")"},
    // Reading from a child that waits for a child of its own, stopped once that one has said
    // it runs: both end with the Stop.
    {"pipeFromChildWithChild",
     "IO.popen([RbConfig.ruby, \"-e\",\n"
     "          \"system(RbConfig.ruby, '-e', '$stderr.puts 1; sleep 1000')\"], &:read)",
     1},
    // Waiting for a lock that another open file of the same file holds.
    {"lockHeldElsewhere", "require \"tempfile\"\n"
                          "Tempfile.create(\"korvex-lock\") do |held|\n"
                          "  held.flock(File::LOCK_EX)\n"
                          "  File.open(held.path) { |waiting| waiting.flock(File::LOCK_EX) }\n"
                          "end"},
    {"backtrackingRegexp", "(\"a\" * 32 + \"!\") =~ /\\A(a+)+\\z/"},
    {"afterManyLines", "100_000.times { |i| puts i }\n$stdout.flush\nloop {}", 100'000},
};

/// Names the row in test output.
inline void PrintTo(const StoppableScript &script, std::ostream *out)
{
    *out << script.name;
}
