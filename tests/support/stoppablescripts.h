#pragma once

#include <cstddef>
#include <ostream>

/// Scripts that never end by themselves, each stuck a different way, for the tests that stop
/// them: from the script window (windowtests) and by batch mode's time limit (e2e_tests, and
/// plintharwin32tests on Windows).
struct StoppableScript
{
    const char *name;   // the row's name
    const char *source; // the script
    /// Lines the script has written before it is stopped (the Stop waits for them).
    std::size_t linesBefore = 0;
    /// The script on Windows, where it needs a command of its own; none: the same script.
    const char *windowsSource = nullptr;
};

inline constexpr StoppableScript StoppableScripts[] = {
    {"busyLoop", "loop {}"},
    {"loopRescuingException", "loop { begin; sleep; rescue Exception; end }"},
    {"sleep", "sleep 1000"},
    // Windows has no sleep command: the runtime's own ruby.exe waits instead.
    {"childProcess", "system(\"sleep 1000\")", 0, "system(RbConfig.ruby, \"-e\", \"sleep 1000\")"},
    {"backtrackingRegexp", "(\"a\" * 32 + \"!\") =~ /\\A(a+)+\\z/"},
    {"afterManyLines", "100_000.times { |i| puts i }\n$stdout.flush\nloop {}", 100'000},
};

/// Names the row in test output.
inline void PrintTo(const StoppableScript &script, std::ostream *out)
{
    *out << script.name;
}
