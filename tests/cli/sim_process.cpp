#include "sim_process.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

namespace telvor {

namespace {

constexpr int kStartLimitMs = 10000;

std::string simPath()
{
    const char* buildDirectory = std::getenv("TELVOR_BUILD_DIR");
    return std::string(buildDirectory ? buildDirectory : ".") + "/telvor-sim";
}

// The first line the simulator prints: "listening on ADDRESS:PORT".
std::string firstLine(int descriptor)
{
    std::string line;
    char byte = 0;
    while (line.size() < 256) {
        pollfd watched{descriptor, POLLIN, 0};
        if (::poll(&watched, 1, kStartLimitMs) <= 0 || ::read(descriptor, &byte, 1) != 1 || byte == '\n')
            break;
        line += byte;
    }
    return line;
}

} // namespace

SimProcess::SimProcess(const std::vector<std::string>& arguments)
{
    int output[2];
    if (::pipe(output) != 0)
        throw std::runtime_error("no pipe for telvor-sim");
    const std::string program = simPath();
    std::vector<std::string> all = {program, "--tcp", "127.0.0.1:0"};
    all.insert(all.end(), arguments.begin(), arguments.end());
    m_pid = ::fork();
    if (m_pid == 0) {
        ::dup2(output[1], STDOUT_FILENO);
        ::close(output[0]);
        ::close(output[1]);
        std::vector<char*> argv;
        for (std::string& argument : all)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(output[1]);
    m_output = output[0];
    const std::string line = firstLine(m_output);
    const std::size_t colon = line.rfind(':');
    if (m_pid < 0 || !line.starts_with("listening on ") || colon == std::string::npos)
        throw std::runtime_error("telvor-sim did not start: " + line);
    m_port = std::stoi(line.substr(colon + 1));
}

SimProcess::~SimProcess()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
    }
    if (m_output >= 0)
        ::close(m_output);
}

int closedLoopbackPort()
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(listener);
    return ntohs(address.sin_port);
}

} // namespace telvor
