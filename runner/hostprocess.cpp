#include "hostprocess.h"

std::vector<char *> &HostProcess::commandLine()
{
    // Read once and kept: the strings stay where they are for the life of the process.
    static std::vector<std::string> args = readCommandLine();
    static std::vector<char *> argv = [] {
        std::vector<char *> pointers;
        for (std::string &arg : args)
            pointers.push_back(arg.data());
        pointers.push_back(nullptr);
        return pointers;
    }();
    return argv;
}
