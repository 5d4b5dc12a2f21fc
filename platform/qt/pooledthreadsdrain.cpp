#include "platform/qt/pooledthreadsdrain.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <thread>

PooledThreadsDrain::~PooledThreadsDrain()
{
    using namespace std::chrono_literals;
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (pooledThreads() > 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
}

int PooledThreadsDrain::pooledThreads()
{
    // A thread leaves the task list only when it has run all of its exit code. Qt names the
    // threads of its pools so (the kernel keeps 15 characters).
    int count = 0;
    std::error_code error;
    for (const auto &task : std::filesystem::directory_iterator("/proc/self/task", error)) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        if (std::getline(comm, name) && name == "Thread (pooled)")
            ++count;
    }
    return count;
}
