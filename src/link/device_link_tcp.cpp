// The TCP side of the device link. The socket stays non-blocking throughout;
// every wait is a poll() for the remaining time, and sends never raise
// SIGPIPE when the device has gone.
#include "link/device_link_tcp.h"

#include "link/sliced_wait.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <system_error>
#include <unistd.h>

namespace telvor {

namespace {

bool wouldBlock(int error)
{
    return error == EAGAIN || error == EWOULDBLOCK || error == EINTR;
}

// 0 when a socket that poll reported is connected, else why it is not: a
// refused or unreachable peer makes it writable too.
int connectionError(int descriptor, short events)
{
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(descriptor, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
        return errno;
    return error == 0 && (events & POLLOUT) == 0 ? ECONNABORTED : error;
}

// One sentence of the detail of a failed open: what was tried and how it
// ended.
std::string attemptFailure(const SocketAddress& address, std::uint16_t port, int error)
{
    const std::string tried = numericText(address) + " port " + std::to_string(port);
    if (error == ECONNREFUSED)
        return "Connection to " + tried + " refused.";
    return "Connection to " + tried + " failed: " + std::generic_category().message(error) + ".";
}

std::string noAnswer(const SocketAddress& address, std::uint16_t port, Milliseconds limit)
{
    return "No answer from " + numericText(address) + " port " + std::to_string(port) + " within " + secondsText(limit)
        + ".";
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
    SlicedWait wait(link());
    m_timer.restart();
    const std::string host(hostToLookUp(m_endpoint.host));
    if (host.empty()) {
        setOpenFailureDetail("No address is set for the device.");
        return OpenResult::NotConnected;
    }
    const HostAddresses found = lookUpWithin(link().hostLookup, host, m_endpoint.port, timing.tcpConnect, wait);
    if (found.addresses.empty()) {
        setOpenFailureDetail("Cannot resolve " + host + ": " + found.failure + ".");
        return OpenResult::NotConnected;
    }
    return connectToAny(found.addresses, wait);
}

// The next address is tried while those before are still unanswered after
// timing.tcpAttemptDelay, so that a host whose first address is silent is
// still reached within the limit; the first to confirm is kept.
OpenResult TcpTransport::connectToAny(const std::vector<SocketAddress>& addresses, SlicedWait& wait)
{
    struct Attempt {
        int socket;
        std::size_t index;
    };
    const Timing& timing = link().timing;
    const std::uint16_t port = m_endpoint.port;
    std::vector<Attempt> pending;
    std::vector<std::string> outcomes(addresses.size());
    const auto endAttempts = [&pending](OpenResult result) {
        for (const Attempt& attempt : pending)
            ::close(attempt.socket);
        pending.clear();
        return result;
    };
    std::size_t next = 0;
    Milliseconds nextStart{0};
    for (auto elapsed = Milliseconds(m_timer.elapsedMs()); elapsed < timing.tcpConnect;
         elapsed = Milliseconds(m_timer.elapsedMs())) {
        if (next < addresses.size() && (pending.empty() || elapsed >= nextStart)) {
            const std::size_t index = next++;
            const SocketAddress& address = addresses[index];
            const int descriptor = ::socket(address.family(), SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
            if (descriptor < 0 && errno == EAFNOSUPPORT) {
                // A system without IPv6 still reaches the IPv4 addresses.
                outcomes[index] = attemptFailure(address, port, errno);
                continue;
            }
            if (descriptor < 0)
                return endAttempts(OpenResult::NoSocket);
            const int flags = ::fcntl(descriptor, F_GETFL);
            if (flags < 0 || ::fcntl(descriptor, F_SETFL, flags | O_NONBLOCK) != 0) {
                ::close(descriptor);
                return endAttempts(OpenResult::SocketNotNonBlocking);
            }
            if (::connect(descriptor, address.get(), address.length) == 0) {
                m_socket = descriptor;
                return endAttempts(OpenResult::Opened);
            }
            if (errno != EINPROGRESS && errno != EINTR) {
                outcomes[index] = attemptFailure(address, port, errno);
                ::close(descriptor);
                continue;
            }
            pending.push_back({descriptor, index});
            nextStart = elapsed + timing.tcpAttemptDelay;
            continue;
        }
        if (pending.empty())
            break;
        Milliseconds limit = std::min(timing.tcpConnectWait, timing.tcpConnect - elapsed);
        if (next < addresses.size())
            limit = std::min(limit, nextStart - elapsed);
        std::vector<pollfd> watched;
        for (const Attempt& attempt : pending)
            watched.push_back({attempt.socket, POLLOUT, 0});
        if (wait.waitForAny(watched, limit) < 0)
            break;
        for (std::size_t slot = watched.size(); slot-- > 0;) {
            if (watched[slot].revents == 0)
                continue;
            const Attempt attempt = pending[slot];
            pending.erase(pending.begin() + static_cast<std::ptrdiff_t>(slot));
            const int error = connectionError(attempt.socket, watched[slot].revents);
            if (error == 0) {
                m_socket = attempt.socket;
                return endAttempts(OpenResult::Opened);
            }
            outcomes[attempt.index] = attemptFailure(addresses[attempt.index], port, error);
            ::close(attempt.socket);
        }
    }
    for (const Attempt& attempt : pending)
        outcomes[attempt.index] = noAnswer(addresses[attempt.index], port, timing.tcpConnect);
    // A lookup that took the whole limit leaves no time to try an address.
    if (next == 0)
        outcomes.front() = noAnswer(addresses.front(), port, timing.tcpConnect);
    std::string detail;
    for (const std::string& outcome : outcomes)
        if (!outcome.empty())
            detail += (detail.empty() ? "" : " ") + outcome;
    setOpenFailureDetail(detail);
    return endAttempts(OpenResult::NotConnected);
}

void TcpTransport::close()
{
    if (m_socket < 0)
        return;
    closeSocket();
    SlicedWait(link()).pause(link().timing.tcpCloseDelay);
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
    SlicedWait wait(link());
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
    SlicedWait wait(link());
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
        if (wait.stopped()) {
            closeSocket();
            return Received::Failed;
        }
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
