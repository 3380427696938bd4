#include "peer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace telvor::testing_peer {

Peer Peer::tcp(int port)
{
    const int descriptor = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(descriptor);
        return Peer(-1);
    }
    return Peer(descriptor);
}

Peer Peer::terminal(const std::string& path)
{
    const int descriptor = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios settings{};
    if (descriptor >= 0 && ::tcgetattr(descriptor, &settings) == 0) {
        ::cfmakeraw(&settings);
        ::tcsetattr(descriptor, TCSANOW, &settings);
    }
    return Peer(descriptor);
}

Peer::Peer(Peer&& other) noexcept
    : m_descriptor(std::exchange(other.m_descriptor, -1))
    , m_closed(other.m_closed)
    , m_pieces(std::move(other.m_pieces))
{
}

Peer& Peer::operator=(Peer&& other) noexcept
{
    close();
    m_descriptor = std::exchange(other.m_descriptor, -1);
    m_closed = other.m_closed;
    m_pieces = std::move(other.m_pieces);
    return *this;
}

Peer::~Peer()
{
    close();
}

void Peer::close()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    m_descriptor = -1;
}

void Peer::send(const std::string& bytes)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t count = ::send(m_descriptor, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        const ssize_t written
            = count >= 0 || errno != ENOTSOCK ? count : ::write(m_descriptor, bytes.data() + sent, bytes.size() - sent);
        if (written <= 0)
            return;
        sent += static_cast<std::size_t>(written);
    }
}

std::string Peer::readUntil(const std::function<bool(const std::string&)>& complete, std::chrono::milliseconds limit)
{
    std::string bytes;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!complete(bytes) && !m_closed) {
        const auto remaining
            = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (remaining.count() <= 0)
            break;
        pollfd watched{m_descriptor, POLLIN, 0};
        if (::poll(&watched, 1, static_cast<int>(remaining.count()) + 1) <= 0)
            continue;
        char buffer[8192];
        const ssize_t count = ::read(m_descriptor, buffer, sizeof buffer);
        if (count <= 0) {
            m_closed = true;
            break;
        }
        m_pieces.emplace_back(buffer, static_cast<std::size_t>(count));
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    return bytes;
}

std::string Peer::readUntilEnd(const std::string& ending, std::chrono::milliseconds limit)
{
    return readUntil([&](const std::string& bytes) { return bytes.ends_with(ending); }, limit);
}

bool Peer::quietFor(std::chrono::milliseconds limit)
{
    pollfd watched{m_descriptor, POLLIN, 0};
    return ::poll(&watched, 1, static_cast<int>(limit.count())) == 0;
}

} // namespace telvor::testing_peer
