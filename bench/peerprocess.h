#pragma once

#include <string>
#include <string_view>
#include <vector>

/// The external-process peer: runs a command with a text on its standard input, collecting
/// its standard output through a pipe, as an editor's "filter through command" does.
class PeerProcess
{
public:
    /// Runs @p argv (argv[0] looked up in PATH) under LANG=C.UTF-8 with @p input on standard
    /// input; answers the wall time from the start to the exit, in seconds. The output is kept
    /// in output(). Throws std::runtime_error when the command cannot run or fails.
    double run(const std::vector<std::string> &argv, std::string_view input);
    /// As run(), with the file @p inputPath on standard input.
    double runWithFile(const std::vector<std::string> &argv, const std::string &inputPath);

    /// The standard output of the last run.
    const std::string &output() const { return m_output; }
    /// The processor time (user + system) the last run's process used, in seconds.
    double cpuSeconds() const { return m_cpuSeconds; }

private:
    double spawn(const std::vector<std::string> &argv, std::string_view input,
                 const std::string *inputPath);

    std::string m_output;
    double m_cpuSeconds = 0;
};
