#include "sim_child.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

namespace telvor::bench {

namespace {

constexpr int kStartLimitMs = 10000;

std::string firstLine(int descriptor)
{
    std::string line;
    char byte = 0;
    while (line.size() < 512) {
        pollfd watched{descriptor, POLLIN, 0};
        if (::poll(&watched, 1, kStartLimitMs) <= 0 || ::read(descriptor, &byte, 1) != 1 || byte == '\n')
            break;
        line += byte;
    }
    return line;
}

} // namespace

SimChild::SimChild(const std::string& program, const std::vector<std::string>& arguments)
{
    int output[2];
    if (::pipe(output) != 0)
        throw std::runtime_error("no pipe for telvor-sim");
    std::vector<std::string> all = {program};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : all)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    m_pid = ::fork();
    if (m_pid == 0) {
        ::dup2(output[1], STDOUT_FILENO);
        ::close(output[0]);
        ::close(output[1]);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(output[1]);
    m_output = output[0];
    const std::string line = firstLine(m_output);
    if (m_pid > 0 && line.starts_with("pty "))
        return;
    const std::size_t colon = line.rfind(':');
    if (m_pid < 0 || !line.starts_with("listening on ") || colon == std::string::npos) {
        stop();
        throw std::runtime_error(program + " did not start: " + line);
    }
    m_port = std::stoi(line.substr(colon + 1));
}

SimChild::~SimChild()
{
    stop();
}

void SimChild::stop()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
    }
    m_pid = -1;
    if (m_output >= 0)
        ::close(m_output);
    m_output = -1;
}

} // namespace telvor::bench
