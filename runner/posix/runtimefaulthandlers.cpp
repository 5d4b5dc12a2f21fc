#include "runner/runtimefaulthandlers.h"

namespace {

constexpr std::array kFaultSignals{SIGSEGV, SIGBUS};

// The runtime's own actions for kFaultSignals; process-wide like the signals themselves.
std::array<struct sigaction, kFaultSignals.size()> runtimeActions{};
bool remembered = false;

} // namespace

void RuntimeFaultHandlers::remember()
{
    for (std::size_t i = 0; i < kFaultSignals.size(); ++i)
        sigaction(kFaultSignals[i], nullptr, &runtimeActions[i]);
    remembered = true;
}

RuntimeFaultHandlers::RuntimeFaultHandlers()
{
    for (std::size_t i = 0; i < kFaultSignals.size(); ++i)
        sigaction(kFaultSignals[i], remembered ? &runtimeActions[i] : nullptr, &m_previous[i]);
}

RuntimeFaultHandlers::~RuntimeFaultHandlers()
{
    for (std::size_t i = 0; i < kFaultSignals.size(); ++i)
        sigaction(kFaultSignals[i], &m_previous[i], nullptr);
}
