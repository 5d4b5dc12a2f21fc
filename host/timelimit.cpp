#include "host/timelimit.h"

std::optional<int> TimeLimit::due(const std::function<bool()> &pressStop)
{
    if (!pressStop()) {
        // Nothing runs yet, or the run ended meanwhile (a window left open then stays so).
        if (m_expired)
            return std::nullopt;
        return RetryMs;
    }
    m_expired = true;
    return GraceMs;
}

std::string TimeLimit::message() const
{
    return "stopped after " + std::to_string(m_seconds) + " s";
}
