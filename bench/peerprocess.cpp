#include "peerprocess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h> // environ, a GNU extension

namespace {

/// Both ends of a pipe, closed when it goes.
class Pipe
{
public:
    Pipe()
    {
        if (::pipe2(m_fds, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe failed");
    }
    ~Pipe()
    {
        closeRead();
        closeWrite();
    }
    Pipe(const Pipe &) = delete;
    Pipe &operator=(const Pipe &) = delete;
    int readEnd() const { return m_fds[0]; }
    int writeEnd() const { return m_fds[1]; }
    void closeRead() { closeFd(m_fds[0]); }
    void closeWrite() { closeFd(m_fds[1]); }

private:
    static void closeFd(int &fd)
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    int m_fds[2] = {-1, -1};
};

std::vector<char *> childEnvironment(std::vector<std::string> &storage)
{
    for (char **e = environ; *e; ++e) {
        const std::string_view entry(*e);
        if (!entry.starts_with("LANG=") && !entry.starts_with("LC_ALL=") &&
            !entry.starts_with("RUBYOPT="))
            storage.emplace_back(entry);
    }
    storage.emplace_back("LANG=C.UTF-8");
    storage.emplace_back("LC_ALL=C.UTF-8");
    std::vector<char *> env;
    env.reserve(storage.size() + 1);
    for (std::string &s : storage)
        env.push_back(s.data());
    env.push_back(nullptr);
    return env;
}

} // namespace

double PeerProcess::run(const std::vector<std::string> &argv, std::string_view input)
{
    return spawn(argv, input, nullptr);
}

double PeerProcess::runWithFile(const std::vector<std::string> &argv, const std::string &inputPath)
{
    return spawn(argv, {}, &inputPath);
}

double PeerProcess::spawn(const std::vector<std::string> &argv, std::string_view input,
                          const std::string *inputPath)
{
    m_output.clear();
    std::vector<std::string> args = argv;
    std::vector<char *> argp;
    argp.reserve(args.size() + 1);
    for (std::string &a : args)
        argp.push_back(a.data());
    argp.push_back(nullptr);
    std::vector<std::string> envStorage;
    std::vector<char *> env = childEnvironment(envStorage);

    Pipe in;
    Pipe out;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (inputPath != nullptr)
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, inputPath->c_str(), O_RDONLY, 0);
    else
        posix_spawn_file_actions_adddup2(&actions, in.readEnd(), STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out.writeEnd(), STDOUT_FILENO);

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argp[0], &actions, nullptr, argp.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(spawned));
    in.closeRead();
    out.closeWrite();
    ::fcntl(in.writeEnd(), F_SETFL, O_NONBLOCK);
    if (input.empty())
        in.closeWrite();

    // Feed and drain at once: a filter blocks on a full output pipe before it has read all.
    std::size_t written = 0;
    char chunk[1 << 16];
    bool outputOpen = true;
    std::signal(SIGPIPE, SIG_IGN);
    while (outputOpen) {
        pollfd fds[2] = {{out.readEnd(), POLLIN, 0}, {in.writeEnd(), POLLOUT, 0}};
        const int n = ::poll(fds, in.writeEnd() >= 0 ? 2 : 1, -1);
        if (n < 0 && errno == EINTR)
            continue;
        if (fds[0].revents) {
            const ssize_t got = ::read(out.readEnd(), chunk, sizeof chunk);
            if (got > 0)
                m_output.append(chunk, std::size_t(got));
            else if (got == 0 || errno != EINTR)
                outputOpen = false;
        }
        if (in.writeEnd() >= 0 && fds[1].revents) {
            const ssize_t put = ::write(in.writeEnd(), input.data() + written,
                                        std::min<std::size_t>(input.size() - written, 1 << 16));
            if (put > 0)
                written += std::size_t(put);
            if ((put < 0 && errno != EAGAIN && errno != EINTR) || written == input.size())
                in.closeWrite();
        }
    }
    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    m_cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(argv[0] + " failed");
    return elapsed.count();
}
