#include "runner/runcontrol.h"

#include "pseudo.h"
#include "scriptwatch.h"

RunControl::RunControl(std::function<void()> service)
    : m_watch(std::make_unique<ScriptWatch>(std::move(service)))
{}

RunControl::~RunControl() = default;

bool RunControl::stopRequested() const
{
    return m_watch->stopRequested();
}

void RunControl::beat()
{
    ScriptWatch::beat();
}

void RunControl::requestStop()
{
    if (ScriptWatch *watch = ScriptWatch::current())
        watch->requestStop();
}

std::chrono::milliseconds RunControl::gracePeriod()
{
    return ScriptWatch::GracePeriod;
}

std::size_t RunControl::outputLinesSoFar()
{
    return Pseudo::OutputLinesSoFar();
}

void RunControl::releaseArguments()
{
    Pseudo::ReleaseArguments();
}

void RunControl::readOutput(LineList &lines)
{
    Pseudo::ReadOutput(lines);
}
