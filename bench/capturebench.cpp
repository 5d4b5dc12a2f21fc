// Times scripts that write many short lines through the captured output, to show that the
// cost grows linearly with the output (the ratio of the two times should be close to 10).
#include "runner/linelist.h"
#include "runner/zerith.h"

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

namespace {

double medianSeconds(long lineCount)
{
    const std::string script = std::to_string(lineCount) + ".times { |i| puts i }";
    std::vector<double> times;
    for (int round = 0; round < 5; ++round) {
        TZerith zerith;
        zerith.setScript(LineList{script});
        LineList output;
        const auto start = std::chrono::steady_clock::now();
        zerith.Execute(&output);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        if (output.count() != static_cast<std::size_t>(lineCount)) {
            std::fprintf(stderr, "expected %ld lines, got %zu\n", lineCount, output.count());
            return -1;
        }
        times.push_back(elapsed.count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main()
{
    std::setlocale(LC_ALL, "");
    EnsureRuntimeStarted();
    const double small = medianSeconds(100'000);
    const double large = medianSeconds(1'000'000);
    if (small <= 0 || large <= 0)
        return 1;
    std::printf("100000 lines:  %.3f s (median of 5)\n", small);
    std::printf("1000000 lines: %.3f s (median of 5)\n", large);
    std::printf("ratio:         %.1f (linear output cost gives about 10)\n", large / small);
    return 0;
}
