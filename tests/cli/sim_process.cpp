#include "sim_process.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

namespace telvor {

namespace {

std::string simPath()
{
    const char* buildDirectory = std::getenv("TELVOR_BUILD_DIR");
    return std::string(buildDirectory ? buildDirectory : ".") + "/telvor-sim";
}

std::vector<std::string> onLoopback(const std::vector<std::string>& arguments)
{
    std::vector<std::string> all = {"--tcp", "127.0.0.1:0"};
    all.insert(all.end(), arguments.begin(), arguments.end());
    return all;
}

} // namespace

SimProcess::SimProcess(const std::vector<std::string>& arguments)
    : m_process(simPath(), onLoopback(arguments))
{
    const std::string line = m_process.firstLine();
    m_port = listeningPort(line);
    if (m_port == 0)
        throw std::runtime_error("telvor-sim did not start: " + line);
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
