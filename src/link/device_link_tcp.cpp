// The TCP side of the device link. The socket stays non-blocking throughout;
// every wait is a poll() for the remaining time, and sends never raise
// SIGPIPE when the device has gone.
#include "link/device_link_tcp.h"

#include "link/sliced_wait.h"

#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace telvor {

namespace {

bool wouldBlock(int error)
{
    return error == EAGAIN || error == EWOULDBLOCK || error == EINTR;
}

// A writable socket is only connected when no error is pending: a refused
// or unreachable peer makes it writable too.
bool connectionConfirmed(int descriptor, short events)
{
    if ((events & POLLOUT) == 0)
        return false;
    int error = 0;
    socklen_t length = sizeof error;
    return ::getsockopt(descriptor, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
}

} // namespace

TcpTransport::TcpTransport(DeviceLink& link, TcpEndpoint endpoint)
    : LinkTransport(link)
    , m_endpoint(std::move(endpoint))
{
}

TcpTransport::~TcpTransport()
{
    closeSocket();
}

OpenResult TcpTransport::open()
{
    const Timing& timing = link().timing;
    m_socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    if (m_socket < 0)
        return OpenResult::NoSocket;
    const int flags = ::fcntl(m_socket, F_GETFL);
    if (flags < 0 || ::fcntl(m_socket, F_SETFL, flags | O_NONBLOCK) != 0) {
        closeSocket();
        return OpenResult::SocketNotNonBlocking;
    }
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(m_endpoint.port);
    // A zero byte ends the text inet_pton reads: a host holding one is not
    // the address before it.
    const std::string& host = m_endpoint.host;
    const bool dotted = host.find('\0') == std::string::npos && ::inet_pton(AF_INET, host.c_str(), &peer.sin_addr) == 1;

    SlicedWait wait(timing.keepAliveSlice, link().keepAlive);
    m_timer.restart();
    if (dotted) {
        if (::connect(m_socket, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0)
            return OpenResult::Opened;
        if (errno == EINPROGRESS || errno == EINTR) {
            for (auto elapsed = Milliseconds(m_timer.elapsedMs()); elapsed < timing.tcpConnect;
                 elapsed = Milliseconds(m_timer.elapsedMs())) {
                const short events
                    = wait.waitFor(m_socket, POLLOUT, std::min(timing.tcpConnectWait, timing.tcpConnect - elapsed));
                if (events == 0)
                    continue;
                if (connectionConfirmed(m_socket, events))
                    return OpenResult::Opened;
                break;
            }
        }
    } else {
        // An address that is not dotted decimal can never connect; the
        // caller learns it when the connection time is over, as with an
        // address that does not answer.
        wait.pause(timing.tcpConnect);
    }
    closeSocket();
    return OpenResult::NotConnected;
}

void TcpTransport::close()
{
    if (m_socket < 0)
        return;
    closeSocket();
    SlicedWait(link().timing.keepAliveSlice, link().keepAlive).pause(link().timing.tcpCloseDelay);
}

void TcpTransport::closeSocket()
{
    if (m_socket < 0)
        return;
    ::close(m_socket);
    m_socket = -1;
}

void TcpTransport::discardStaleInput()
{
    std::array<char, kAnswerCapacity> scratch;
    const ssize_t count = ::recv(m_socket, scratch.data(), scratch.size(), MSG_DONTWAIT);
    if (count > 0)
        reportReceived(std::string_view(scratch.data(), static_cast<std::size_t>(count)));
}

bool TcpTransport::sendLine(const std::string& line, Milliseconds limit)
{
    SlicedWait wait(link().timing.keepAliveSlice, link().keepAlive);
    ElapsedTimer timer;
    std::size_t sent = 0;
    while (sent < line.size()) {
        const ssize_t count = ::send(m_socket, line.data() + sent, line.size() - sent, MSG_NOSIGNAL);
        if (count > 0) {
            reportSent(std::string_view(line).substr(sent, static_cast<std::size_t>(count)));
            sent += static_cast<std::size_t>(count);
            continue;
        }
        if (count == 0 || !wouldBlock(errno))
            return false;
        const auto elapsed = Milliseconds(timer.elapsedMs());
        if (elapsed >= limit)
            return false;
        const short events = wait.waitFor(m_socket, POLLOUT, limit - elapsed);
        if (events != 0 && (events & POLLOUT) == 0)
            return false;
    }
    return true;
}

TcpTransport::Received TcpTransport::receiveAnswer(ReplyKind kind, Milliseconds limit)
{
    std::string& held = answer();
    held.clear();
    std::array<char, kAnswerCapacity> piece;
    SlicedWait wait(link().timing.keepAliveSlice, link().keepAlive);
    m_timer.restart();
    for (;;) {
        // Once the answer is full nothing more is received: what is held can
        // no longer change, and the time limit decides.
        if (held.size() < kAnswerCapacity) {
            const ssize_t count = ::recv(m_socket, piece.data(), kAnswerCapacity - held.size(), MSG_DONTWAIT);
            if (count == 0) {
                closeSocket();
                return Received::Closed;
            }
            if (count < 0 && !wouldBlock(errno)) {
                closeSocket();
                return Received::Failed;
            }
            if (count > 0) {
                const std::string_view bytes(piece.data(), static_cast<std::size_t>(count));
                reportReceived(bytes);
                held.append(bytes);
                const bool complete = kind == ReplyKind::Command ? commandReplyComplete(held)
                    : kind == ReplyKind::Version                 ? versionReplyComplete(held)
                                                                 : queryAnswerComplete(held);
                if (complete)
                    return Received::Complete;
            }
        }
        const auto elapsed = Milliseconds(m_timer.elapsedMs());
        if (elapsed >= limit)
            return Received::OutOfTime;
        if (held.size() < kAnswerCapacity)
            wait.waitFor(m_socket, POLLIN, limit - elapsed);
        else
            wait.pause(limit - elapsed);
    }
}

CommandResult TcpTransport::command(std::string_view text)
{
    const bool versionMode = isVersionCommand(text);
    discardStaleInput();
    const std::string line = framedLine(text, kCommandLineCapacity);
    if (line.empty() || !sendLine(line, link().timing.tcpCommand)) {
        closeSocket();
        return CommandResult::NotSent;
    }
    switch (receiveAnswer(versionMode ? ReplyKind::Version : ReplyKind::Command, link().timing.tcpCommand)) {
    case Received::Complete:
        if (versionMode)
            setReply(versionReplyText(answer()));
        return CommandResult::Acknowledged;
    case Received::OutOfTime:
        return CommandResult::TimedOut;
    case Received::Closed:
        return CommandResult::ConnectionClosed;
    case Received::Failed:
        break;
    }
    return CommandResult::ReceiveFailed;
}

QueryResult TcpTransport::query(std::string_view text)
{
    const std::string line = framedLine(text, kQueryLineCapacity);
    if (line.empty() || !sendLine(line, link().timing.tcpQuery)) {
        closeSocket();
        return QueryResult::NotSent;
    }
    switch (receiveAnswer(ReplyKind::Query, link().timing.tcpQuery)) {
    case Received::Closed:
        return QueryResult::NoAnswer;
    case Received::Failed:
        return QueryResult::ReceiveFailed;
    case Received::Complete:
    case Received::OutOfTime:
        break;
    }
    return answer().empty() ? QueryResult::NoAnswer : QueryResult::Answered;
}

} // namespace telvor
