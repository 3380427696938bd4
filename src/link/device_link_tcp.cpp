// The TCP side of the device link. The socket stays non-blocking throughout;
// every wait is a poll() for the remaining time, and sends never raise
// SIGPIPE when the device has gone.
#include "link/device_link.h"

#include "link/reply_rules.h"
#include "link/sliced_wait.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
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

int DeviceLink::openTcp()
{
    m_socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    if (m_socket < 0)
        return 4;
    const int flags = ::fcntl(m_socket, F_GETFL);
    if (flags < 0 || ::fcntl(m_socket, F_SETFL, flags | O_NONBLOCK) != 0) {
        closeSocket();
        return 5;
    }
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(static_cast<std::uint16_t>(tcpPort & 0xFFFF));
    const std::string address(ipAddress, ::strnlen(ipAddress, sizeof ipAddress));
    const bool dotted = ::inet_pton(AF_INET, address.c_str(), &peer.sin_addr) == 1;

    SlicedWait wait(timing.keepAliveSlice, keepAlive);
    m_timer.restart();
    if (dotted) {
        if (::connect(m_socket, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0)
            return 0;
        if (errno == EINPROGRESS || errno == EINTR) {
            for (auto elapsed = Milliseconds(m_timer.elapsedMs()); elapsed < timing.tcpConnect;
                 elapsed = Milliseconds(m_timer.elapsedMs())) {
                const short events = wait.waitFor(m_socket, POLLOUT, std::min(timing.tcpConnectWait, timing.tcpConnect - elapsed));
                if (events == 0)
                    continue;
                if (connectionConfirmed(m_socket, events))
                    return 0;
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
    return 1;
}

void DeviceLink::closeSocket()
{
    if (m_socket < 0)
        return;
    ::close(m_socket);
    m_socket = -1;
}

void DeviceLink::discardStaleInput()
{
    char scratch[kAnswerCapacity];
    const ssize_t count = ::recv(m_socket, scratch, sizeof scratch, MSG_DONTWAIT);
    if (count > 0)
        reportReceived(scratch, static_cast<std::size_t>(count));
}

bool DeviceLink::sendLine(const std::string& line, Milliseconds limit)
{
    SlicedWait wait(timing.keepAliveSlice, keepAlive);
    ElapsedTimer timer;
    std::size_t sent = 0;
    while (sent < line.size()) {
        const ssize_t count = ::send(m_socket, line.data() + sent, line.size() - sent, MSG_NOSIGNAL);
        if (count > 0) {
            reportSent(line.substr(sent, static_cast<std::size_t>(count)));
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

int DeviceLink::receiveAnswer(Completion completion, Milliseconds limit, std::size_t& held)
{
    held = 0;
    answer[0] = '\0';
    SlicedWait wait(timing.keepAliveSlice, keepAlive);
    m_timer.restart();
    for (;;) {
        // Once the answer buffer is full nothing more is received: what is
        // held can no longer change, and the time limit decides.
        if (held < kAnswerCapacity) {
            const ssize_t count = ::recv(m_socket, answer + held, kAnswerCapacity - held, MSG_DONTWAIT);
            if (count == 0) {
                closeSocket();
                return 3;
            }
            if (count < 0 && !wouldBlock(errno)) {
                closeSocket();
                return 4;
            }
            if (count > 0) {
                reportReceived(answer + held, static_cast<std::size_t>(count));
                held += static_cast<std::size_t>(count);
                answer[held] = '\0';
                const std::string_view bytes(answer, held);
                const bool complete = completion == Completion::Command ? commandReplyComplete(bytes)
                    : completion == Completion::Version                 ? versionReplyComplete(bytes)
                                                                        : queryAnswerComplete(bytes);
                if (complete)
                    return 0;
            }
        }
        const auto elapsed = Milliseconds(m_timer.elapsedMs());
        if (elapsed >= limit)
            return 1;
        if (held < kAnswerCapacity)
            wait.waitFor(m_socket, POLLIN, limit - elapsed);
        else
            wait.pause(limit - elapsed);
    }
}

int DeviceLink::tcpCommand(const char* text)
{
    const std::string_view command = text ? text : "";
    const bool versionMode = isVersionCommand(command);
    discardStaleInput();
    const std::string line = framedLine(command, kCommandLineCapacity);
    if (line.empty() || !sendLine(line, timing.tcpCommand)) {
        closeSocket();
        return 5;
    }
    std::size_t held = 0;
    const int result = receiveAnswer(versionMode ? Completion::Version : Completion::Command, timing.tcpCommand, held);
    if (result == 0 && versionMode)
        storeReplyText(versionReplyText(std::string_view(answer, held)));
    return result;
}

int DeviceLink::tcpQuery(const char* text)
{
    const std::string line = framedLine(text ? text : "", kQueryLineCapacity);
    if (line.empty() || !sendLine(line, timing.tcpQuery)) {
        closeSocket();
        return 1;
    }
    std::size_t held = 0;
    const int result = receiveAnswer(Completion::Query, timing.tcpQuery, held);
    if (result == 3 || result == 4)
        return result;
    return held == 0 ? 3 : 0;
}

} // namespace telvor
