// Every public method of a script's standard streams, called with plausible arguments, ends
// normally or with an error: no crash, no hang, no endless recursion, and the next run works.
#include "runner_test_support.h"

#include <ruby.h>
#include <ruby/thread.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// Arguments for the methods that need some; the others are called without any, then with the
// number their arity asks for.
constexpr char kPlausibleArguments[] = R"(
require 'io/console'
require 'io/wait'
require 'io/nonblock'
$stream_arguments = {
  :<< => ['x'], :advise => [:normal, 0, 1], :autoclose= => [false], :binmode => [],
  :close_on_exec= => [true], :each_byte => [], :each_char => [], :each_codepoint => [],
  :each_line => [], :fcntl => [1], :ioctl => [0x5401], :lineno= => [2], :nonblock= => [true],
  :pos= => [0], :pread => [4, 0], :print => ['x'], :printf => ['%d', 1], :putc => ['x'],
  :puts => ['x'], :pwrite => ['x', 0], :read => [4], :read_nonblock => [4, {exception: false}],
  :readpartial => [4], :reopen => [File::NULL], :seek => [0], :set_encoding => ['UTF-8'],
  :sync= => [true], :syswrite => ['x'], :sysread => [4], :sysseek => [0], :ungetbyte => [65],
  :ungetc => ['x'], :wait => [0.01], :wait_readable => [0.01], :wait_writable => [0.01],
  :wait_priority => [0.01], :winsize= => [[24, 80]], :write => ['x'], :write_nonblock => ['x'],
  :getpass => [], :readline => [], :readlines => [], :each => [],
  :cursor= => [[0, 0]], :goto => [0, 0], :raw => [], :cooked => [], :noecho => [],
}.freeze
)";

// The methods of one stream, one name a line.
std::vector<std::string> methodsOf(const std::string &stream)
{
    const std::string names =
        runScript("print((" + stream +
                  ".public_methods - Object.public_instance_methods | %i[inspect dup])"
                  ".sort.join(\"\\n\"))");
    std::vector<std::string> methods;
    std::istringstream lines(names);
    for (std::string line; std::getline(lines, line);)
        methods.push_back(line);
    return methods;
}

/// Calls @p method of @p stream in a run of a child process; answers what went wrong, if
/// anything.
std::string callInChild(const std::string &stream, const std::string &method)
{
    const pid_t child = ::fork();
    if (child == 0) {
        rb_thread_atfork(); // the runtime in a forked process, as its own fork leaves it
        // Collections would copy the parent's pages one by one; a call needs none.
        const std::string script =
            "GC.disable\nm = :'" + method + "'\ns = " + stream +
            "\nargs = $stream_arguments.fetch(m) { [] }\n"
            "block = proc { break }\n"
            "begin\n  s.public_send(m, *args, &block)\n"
            "rescue ArgumentError\n"
            "  s.public_send(m, *Array.new([s.method(m).arity, 0].max, 'x'), &block) rescue nil\n"
            "rescue SystemStackError\n  print 'RECURSED'\nrescue Exception\nend\n";
        const std::string output = runScript(script);
        if (output.find("RECURSED") != std::string::npos)
            ::_exit(3);
        ::_exit(runScript("print 'next'") == "next" ? 0 : 4);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return "hung";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (WIFSIGNALED(status))
        return "crashed with signal " + std::to_string(WTERMSIG(status));
    switch (WEXITSTATUS(status)) {
    case 0:
        return "";
    case 3:
        return "recursed until the stack ran out";
    case 4:
        return "broke the next run";
    default:
        return "ended with status " + std::to_string(WEXITSTATUS(status));
    }
}

} // namespace

TEST(StreamMethods, EveryMethodOfTheSixStreamsLeavesTheEditorWorking)
{
    ASSERT_EQ(runScript(kPlausibleArguments), "");
    for (const std::string stream : {"$stdout", "$stderr", "$stdin", "STDOUT", "STDERR", "STDIN"}) {
        const std::vector<std::string> methods = methodsOf(stream);
        ASSERT_GT(methods.size(), 50u) << stream;
        for (const std::string &method : methods)
            EXPECT_EQ(callInChild(stream, method), "") << stream << "." << method;
    }
}
