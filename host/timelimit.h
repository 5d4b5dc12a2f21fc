#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

/**
 * The time limit of a batch run, the host's side of it: a watch on a thread of its own that
 * calls its action when the limit passes before the watch is ended. The action runs on that
 * thread while the editor's thread may still be inside the plug-in, so it must not touch the
 * editor (it reports and ends the process).
 */
class TimeLimit
{
public:
    /// Starts watching: @p expired runs once @p limit has passed, unless the object went first.
    TimeLimit(std::chrono::seconds limit, std::function<void()> expired);
    /// Ends the watch; the action does not run any more.
    ~TimeLimit();
    TimeLimit(const TimeLimit &) = delete;
    TimeLimit &operator=(const TimeLimit &) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_done = false;
    std::thread m_watch;
};
