#pragma once

#include <string>
#include <vector>

/**
 * The host process's side of starting the runtime inside it.
 *
 * The runtime takes over signal handlers as it starts (and on Linux turns transparent huge
 * pages off for the whole process); while a HostProcess lives it may do so, and afterwards
 * the host has its own back. The runtime keeps what it cannot work without:
 * on POSIX systems SIGVTALRM, which wakes its blocked threads, and a share of SIGCHLD, by which
 * alone it learns that a script's child process ended (a host handler hears of it too). On
 * Windows, where the plug-in brings a runtime of its own, the user's settings for another Ruby
 * (RUBYOPT, RUBYLIB) are kept from it while it starts.
 */
class HostProcess
{
public:
    /// Remembers the host's handlers.
    HostProcess();
    /// Gives the host its handlers back, keeping the runtime's share.
    ~HostProcess();
    HostProcess(const HostProcess &) = delete;
    HostProcess &operator=(const HostProcess &) = delete;

    /// The process's command line split into arguments, NUL-terminated strings followed by a
    /// null entry, as the runtime's start-up takes it; it lives as long as the process, since
    /// the runtime may keep pointers into it.
    static std::vector<char *> &commandLine();

private:
    /// The process's command line split into arguments, as the system splits it.
    static std::vector<std::string> readCommandLine();
};
