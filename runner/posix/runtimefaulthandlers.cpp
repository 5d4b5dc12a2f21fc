#include "runtimefaulthandlers.h"

#include <array>
#include <csignal>

namespace {

constexpr std::array kFaultSignals{SIGSEGV, SIGBUS};

// The runtime's own actions for kFaultSignals, and the ones a run put them in place of;
// process-wide like the signals themselves.
std::array<struct sigaction, kFaultSignals.size()> runtimeActions{};
std::array<struct sigaction, kFaultSignals.size()> previousActions{};
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
        sigaction(kFaultSignals[i], remembered ? &runtimeActions[i] : nullptr, &previousActions[i]);
}

RuntimeFaultHandlers::~RuntimeFaultHandlers()
{
    for (std::size_t i = 0; i < kFaultSignals.size(); ++i)
        sigaction(kFaultSignals[i], &previousActions[i], nullptr);
}
