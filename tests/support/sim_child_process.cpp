#include "support/sim_child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <charconv>

namespace telvor {

namespace {

constexpr int kFirstLineLimitMs = 10000;
constexpr int kEndLimitMs = 5000;
constexpr int kEndPollMs = 20;
constexpr std::size_t kLongestFirstLine = 512;

} // namespace

SimChildProcess::SimChildProcess(const std::string& program, std::vector<std::string> arguments,
                                 const ErrorOutput& errors)
{
    int output[2];
    if (::pipe2(output, O_CLOEXEC) != 0)
        return;
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    m_pid = ::fork();
    if (m_pid == 0) {
        ::dup2(output[1], STDOUT_FILENO);
        if (!errors.file.empty()) {
            const int errorFile = ::open(errors.file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(errorFile, STDERR_FILENO);
        }
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(output[1]);
    m_output = output[0];
}

SimChildProcess::~SimChildProcess()
{
    if (m_pid > 0 && endWith(SIGTERM) < 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    if (m_output >= 0)
        ::close(m_output);
}

std::string SimChildProcess::firstLine()
{
    return nextLine();
}

void SimChildProcess::sendSignal(int signal)
{
    if (m_pid > 0)
        ::kill(m_pid, signal);
}

std::string SimChildProcess::nextLine()
{
    std::string line;
    char character = 0;
    while (m_output >= 0 && line.size() < kLongestFirstLine) {
        pollfd watched{m_output, POLLIN, 0};
        if (::poll(&watched, 1, kFirstLineLimitMs) <= 0 || ::read(m_output, &character, 1) != 1 || character == '\n')
            break;
        line += character;
    }
    return line;
}

int SimChildProcess::endWith(int signal)
{
    if (m_pid <= 0)
        return -1;
    if (signal != 0)
        ::kill(m_pid, signal);
    for (int waited = 0; waited < kEndLimitMs; waited += kEndPollMs) {
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        ::poll(nullptr, 0, kEndPollMs);
    }
    return -1;
}

int listeningPort(const std::string& firstLine)
{
    constexpr std::string_view kPrefix = "listening on ";
    const std::size_t colon = firstLine.rfind(':');
    if (!firstLine.starts_with(kPrefix) || colon == std::string::npos)
        return 0;
    int port = 0;
    const char* end = firstLine.data() + firstLine.size();
    const auto [stop, error] = std::from_chars(firstLine.data() + colon + 1, end, port);
    return error == std::errc{} && stop == end && port > 0 && port < 65536 ? port : 0;
}

} // namespace telvor
