#include "timelimit.h"

TimeLimit::TimeLimit(std::chrono::seconds limit, std::function<void()> expired)
{
    m_watch = std::thread([this, limit, expired = std::move(expired)] {
        std::unique_lock lock(m_mutex);
        if (!m_ended.wait_for(lock, limit, [this] { return m_done; })) {
            lock.unlock();
            expired();
        }
    });
}

TimeLimit::~TimeLimit()
{
    {
        const std::lock_guard lock(m_mutex);
        m_done = true;
    }
    m_ended.notify_all();
    m_watch.join();
}
