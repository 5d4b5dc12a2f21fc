// Asks a window whether its program responds, as Windows does before it marks a program "Not
// Responding": WM_NULL with a time-out, every 100 ms for a while. Exits 0 when every question
// was answered within a second, 1 otherwise, saying how long the slowest answer took.
// Usage: respondingcheck WINDOW SECONDS

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

int main(int argc, char **argv)
{
    if (argc != 3)
        return 2;
    const auto window = reinterpret_cast<HWND>(std::strtoull(argv[1], nullptr, 10));
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(std::atoi(argv[2]));
    long long slowestMs = 0;
    int unanswered = 0;
    while (std::chrono::steady_clock::now() < until) {
        const auto asked = std::chrono::steady_clock::now();
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result))
            ++unanswered;
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - asked)
                            .count();
        slowestMs = ms > slowestMs ? ms : slowestMs;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::printf("slowest answer %lld ms, %d unanswered\n", slowestMs, unanswered);
    return unanswered == 0 && slowestMs < 1000 ? 0 : 1;
}
