#include "served_device.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <utility>

namespace telvor {

namespace {

constexpr int kListenBacklog = 16;
constexpr std::size_t kReadSize = 4096;
constexpr int kBitsPerByte = 10;
constexpr std::size_t kLongestPiece = 3;
constexpr int kLongestPauseMs = 5;

void closeDescriptor(int& descriptor)
{
    if (descriptor >= 0)
        ::close(descriptor);
    descriptor = -1;
}

std::string systemError(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

// Control characters as escapes, so that a log line shows the bytes exactly.
std::string visible(std::string_view bytes)
{
    std::string text;
    for (unsigned char byte : bytes) {
        if (byte == '\r') {
            text += "\\r";
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            text += escape;
        } else {
            text += static_cast<char>(byte);
        }
    }
    return text;
}

// Written whole under a temporary name and renamed, so that a reader never
// sees half of it.
void replaceFile(const std::string& path, std::string_view content)
{
    const std::string temporary = path + ".part";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file.write(content.data(), static_cast<std::streamsize>(content.size()));
        if (!file) {
            std::cerr << "cannot write " << path << std::endl;
            return;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0)
        std::cerr << "cannot write " << path << ": " << std::strerror(errno) << std::endl;
}

} // namespace

ServedDevice::ServedDevice(VirtualDevice device, const ServerOptions& options, ReadinessPoller& poller)
    : m_device(std::move(device))
    , m_options(options)
    , m_poller(poller)
    , m_saveFile(options.saveFile)
{
}

ServedDevice::~ServedDevice()
{
    m_poller.forget(m_connection);
    m_poller.forget(m_listener);
    m_poller.forget(m_ptyEvents);
    if (m_connection != m_ptyMaster)
        closeDescriptor(m_connection);
    closeDescriptor(m_listener);
    closeDescriptor(m_ptyEvents);
    closeDescriptor(m_ptySlave);
    closeDescriptor(m_ptyMaster);
    if (!m_ptyLink.empty())
        ::unlink(m_ptyLink.c_str());
}

bool ServedDevice::listenTcp(const std::string& address, int port, std::string& error)
{
    sockaddr_in socketAddress{};
    socketAddress.sin_family = AF_INET;
    socketAddress.sin_port = htons(static_cast<std::uint16_t>(port));
    if (port < 0 || port > 65535 || ::inet_pton(AF_INET, address.c_str(), &socketAddress.sin_addr) != 1) {
        error = "not an IPv4 address and port: " + address + ':' + std::to_string(port);
        return false;
    }
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_listener < 0) {
        error = systemError("socket");
        return false;
    }
    const int reuse = 1;
    ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    socklen_t length = sizeof socketAddress;
    if (::bind(m_listener, reinterpret_cast<sockaddr*>(&socketAddress), sizeof socketAddress) != 0
        || ::listen(m_listener, kListenBacklog) != 0
        || ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&socketAddress), &length) != 0) {
        error = systemError("listening on " + address + ':' + std::to_string(port));
        closeDescriptor(m_listener);
        return false;
    }
    m_address = address;
    m_port = ntohs(socketAddress.sin_port);
    m_poller.watch(m_listener, EPOLLIN, *this, ReadinessPoller::Role::Listener);
    return true;
}

bool ServedDevice::openPty(const std::string& link, std::string& error)
{
    m_ptyMaster = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_ptyMaster < 0 || ::grantpt(m_ptyMaster) != 0 || ::unlockpt(m_ptyMaster) != 0) {
        error = systemError("pseudo-terminal");
        closeDescriptor(m_ptyMaster);
        return false;
    }
    ::fcntl(m_ptyMaster, F_SETFL, ::fcntl(m_ptyMaster, F_GETFL) | O_NONBLOCK);
    ::fcntl(m_ptyMaster, F_SETFD, FD_CLOEXEC);
    m_ptySlavePath = ::ptsname(m_ptyMaster);
    // Holding the slave side open keeps the line up between clients, and raw
    // mode keeps it from echoing the replies back as input.
    m_ptySlave = ::open(m_ptySlavePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios settings{};
    if (m_ptySlave < 0 || ::tcgetattr(m_ptySlave, &settings) != 0) {
        error = systemError(m_ptySlavePath);
        return false;
    }
    ::cfmakeraw(&settings);
    ::tcsetattr(m_ptySlave, TCSANOW, &settings);
    // Clients come and go by opening and closing the slave side; the
    // pseudo-terminal tells nothing of that, its inode's events do.
    m_ptyEvents = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_ptyEvents < 0 || ::inotify_add_watch(m_ptyEvents, m_ptySlavePath.c_str(), IN_OPEN | IN_CLOSE) < 0) {
        error = systemError("watching " + m_ptySlavePath);
        return false;
    }
    struct stat existing {};
    if (::lstat(link.c_str(), &existing) == 0) {
        if (!S_ISLNK(existing.st_mode)) {
            error = link + " exists and is no symbolic link";
            return false;
        }
        ::unlink(link.c_str());
    }
    if (::symlink(m_ptySlavePath.c_str(), link.c_str()) != 0) {
        error = systemError("symbolic link " + link);
        return false;
    }
    m_ptyLink = link;
    m_connection = m_ptyMaster;
    m_poller.watch(m_ptyEvents, EPOLLIN, *this, ReadinessPoller::Role::PtyEvents);
    m_poller.watch(m_connection, EPOLLIN, *this, ReadinessPoller::Role::Connection);
    return true;
}

void ServedDevice::saveTo(std::string imageFile, std::string connectionsFile)
{
    m_saveFile = std::move(imageFile);
    m_connectionsFile = std::move(connectionsFile);
}

SettingsImage ServedDevice::image() const
{
    std::lock_guard lock(m_deviceMutex);
    return m_device.image();
}

std::vector<std::string> ServedDevice::receivedLines() const
{
    std::lock_guard lock(m_deviceMutex);
    return m_device.receivedLines();
}

int ServedDevice::connectionCount() const
{
    std::lock_guard lock(m_deviceMutex);
    return m_connectionCount;
}

void ServedDevice::noteEvents(ReadinessPoller::Role role, unsigned events)
{
    switch (role) {
    case ReadinessPoller::Role::Listener:
        m_listenerEvents |= events;
        break;
    case ReadinessPoller::Role::Connection:
        m_connectionEvents |= events;
        break;
    case ReadinessPoller::Role::PtyEvents:
        m_ptyWatchEvents |= events;
        break;
    }
}

void ServedDevice::takeEvents()
{
    const unsigned listenerEvents = std::exchange(m_listenerEvents, 0);
    const unsigned connectionEvents = std::exchange(m_connectionEvents, 0);
    const unsigned ptyEvents = std::exchange(m_ptyWatchEvents, 0);
    if ((listenerEvents & EPOLLIN) && !m_connected) {
        acceptConnection();
        return;
    }
    // A client's closing and the next one's opening are taken before the
    // bytes, so that the bytes are served on the connection they belong to.
    if (ptyEvents & EPOLLIN)
        readPtyEvents();
    if (connectionEvents & EPOLLOUT)
        setWaitingWritable(false);
    if (m_connection >= 0 && (connectionEvents & (EPOLLIN | EPOLLHUP | EPOLLERR)))
        receiveBytes();
}

void ServedDevice::serveDue()
{
    actOnDueLines();
    sendDueBytes();
}

void ServedDevice::finish()
{
    if (m_connected)
        endConnection();
}

void ServedDevice::acceptConnection()
{
    const int accepted = ::accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (accepted < 0)
        return;
    // One connection at a time: the next waits in the backlog.
    m_poller.watch(m_listener, 0, *this, ReadinessPoller::Role::Listener);
    m_poller.watch(accepted, EPOLLIN, *this, ReadinessPoller::Role::Connection);
    beginConnection(accepted);
}

void ServedDevice::beginConnection(int descriptor)
{
    m_connection = descriptor;
    m_connected = true;
    m_deaf = false;
    m_waitingWritable = false;
    // On a pseudo-terminal the bytes already read may be the new client's
    // first line; a new socket starts empty.
    if (m_ptyMaster < 0) {
        m_splitter.clear();
        m_lines.clear();
        m_output.clear();
    }
    {
        std::lock_guard lock(m_deviceMutex);
        m_device.beginConnection();
        ++m_connectionCount;
    }
    saveConnectionCount();
    if (m_options.verbose)
        std::cerr << "connection opened" << std::endl;
}

void ServedDevice::endConnection()
{
    if (m_ptyMaster >= 0) {
        // The line stays up. Replies the client left unread are dropped, as a
        // closed serial port drops what arrives; what it wrote is still served.
        ::tcflush(m_ptySlave, TCIFLUSH);
        // A client that took the port exclusively would otherwise keep every
        // later one out, since the slave side held here never closes.
        ::ioctl(m_ptySlave, TIOCNXCL);
        setWaitingWritable(false);
    } else {
        m_poller.forget(m_connection);
        closeDescriptor(m_connection);
        m_splitter.clear();
        m_lines.clear();
        m_waitingWritable = false;
        m_poller.watch(m_listener, EPOLLIN, *this, ReadinessPoller::Role::Listener);
    }
    m_output.clear();
    m_connected = false;
    m_deaf = false;
    save();
    if (m_options.verbose)
        std::cerr << "connection closed" << std::endl;
}

void ServedDevice::receiveBytes()
{
    char buffer[kReadSize];
    const ssize_t count = ::read(m_connection, buffer, sizeof buffer);
    if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return;
    if (count <= 0) {
        if (m_ptyMaster < 0)
            endConnection();
        return;
    }
    if (m_deaf)
        return;
    if (m_ptyMaster >= 0 && !m_connected)
        beginConnection(m_ptyMaster);
    const Clock::time_point now = Clock::now();
    for (ssize_t index = 0; index < count; ++index) {
        // At the line's speed a byte arrives one byte time after the one before.
        if (m_options.baud > 0)
            m_inboundFreeAt = std::max(now, m_inboundFreeAt) + byteTime();
        if (auto line = m_splitter.push(buffer[index]))
            m_lines.push_back({std::move(*line), m_options.baud > 0 ? m_inboundFreeAt : now});
    }
}

void ServedDevice::readPtyEvents()
{
    alignas(inotify_event) char buffer[sizeof(inotify_event) * 16];
    ssize_t count = 0;
    while ((count = ::read(m_ptyEvents, buffer, sizeof buffer)) > 0) {
        for (ssize_t offset = 0; offset < count;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            if (event->mask & IN_OPEN) {
                ++m_ptyOpenCount;
                if (!m_connected)
                    beginConnection(m_ptyMaster);
            } else if ((event->mask & IN_CLOSE) && m_ptyOpenCount > 0 && --m_ptyOpenCount == 0) {
                endConnection();
            }
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

void ServedDevice::actOnDueLines()
{
    const Clock::time_point now = Clock::now();
    while (!m_lines.empty() && m_lines.front().actAt <= now && !m_deaf && m_connection >= 0) {
        const PendingLine line = std::move(m_lines.front());
        m_lines.pop_front();
        if (m_options.verbose)
            log("received", line.text);
        Reply reply;
        {
            std::lock_guard lock(m_deviceMutex);
            reply = m_device.handleLine(line.text);
        }
        queueReply(reply, now);
    }
}

void ServedDevice::queueReply(const Reply& reply, Clock::time_point actedAt)
{
    Clock::time_point due = actedAt + m_options.latency;
    const std::string& bytes = reply.bytes;
    std::size_t position = 0;
    if (m_options.chunked) {
        const std::size_t cuttable = std::min(reply.cuttableLength, bytes.size());
        std::uniform_int_distribution<std::size_t> pieceLength(1, kLongestPiece);
        std::uniform_int_distribution<int> pause(1, kLongestPauseMs);
        while (position < cuttable) {
            const std::size_t length = std::min(pieceLength(m_random), cuttable - position);
            m_output.push_back({bytes.substr(position, length), due});
            position += length;
            due += std::chrono::milliseconds(pause(m_random));
        }
    }
    if (position < bytes.size())
        m_output.push_back({bytes.substr(position), due});
    if (reply.closeAfter)
        m_output.push_back({{}, due, true});
    if (m_options.verbose && !bytes.empty())
        log("reply", bytes);
}

void ServedDevice::sendDueBytes()
{
    while (!m_output.empty() && !m_waitingWritable && m_connection >= 0) {
        Piece& piece = m_output.front();
        const Clock::time_point now = Clock::now();
        const Clock::time_point start = m_options.baud > 0 ? std::max(piece.due, m_outboundFreeAt) : piece.due;
        if (start > now)
            return;
        std::size_t length = piece.bytes.size();
        if (m_options.baud > 0)
            length = std::min<std::size_t>(length, 1 + (now - start) / byteTime());
        if (length > 0) {
            const ssize_t written = m_ptyMaster >= 0 ? ::write(m_connection, piece.bytes.data(), length)
                                                     : ::send(m_connection, piece.bytes.data(), length, MSG_NOSIGNAL);
            if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
                setWaitingWritable(true);
                return;
            }
            if (written < 0) {
                endConnection();
                return;
            }
            if (m_options.baud > 0)
                m_outboundFreeAt = start + written * byteTime();
            piece.bytes.erase(0, static_cast<std::size_t>(written));
            if (!piece.bytes.empty())
                continue;
        }
        const bool close = piece.closeAfter;
        m_output.pop_front();
        if (!close)
            continue;
        if (m_ptyMaster >= 0) {
            // A pseudo-terminal cannot hang up: the device goes deaf and dumb
            // until the client lets the port go.
            m_deaf = true;
            m_lines.clear();
            m_output.clear();
        } else {
            endConnection();
        }
        return;
    }
}

void ServedDevice::setWaitingWritable(bool waiting)
{
    if (waiting == m_waitingWritable || m_connection < 0)
        return;
    m_waitingWritable = waiting;
    m_poller.watch(m_connection, EPOLLIN | (waiting ? EPOLLOUT : 0u), *this, ReadinessPoller::Role::Connection);
}

std::chrono::nanoseconds ServedDevice::byteTime() const
{
    return std::chrono::nanoseconds(std::chrono::seconds(kBitsPerByte)) / m_options.baud;
}

ServedDevice::Clock::time_point ServedDevice::nextDue() const
{
    Clock::time_point due = Clock::time_point::max();
    if (!m_lines.empty() && !m_deaf)
        due = m_lines.front().actAt;
    if (!m_output.empty() && !m_waitingWritable) {
        const Piece& piece = m_output.front();
        due = std::min(due, m_options.baud > 0 ? std::max(piece.due, m_outboundFreeAt) : piece.due);
    }
    return due;
}

void ServedDevice::save() const
{
    if (m_saveFile.empty())
        return;
    const SettingsImage saved = image();
    replaceFile(m_saveFile,
                std::string_view(reinterpret_cast<const char*>(saved.bytes().data()), saved.bytes().size()));
}

void ServedDevice::saveConnectionCount() const
{
    if (!m_connectionsFile.empty())
        replaceFile(m_connectionsFile, std::to_string(connectionCount()) + "\n");
}

void ServedDevice::log(std::string_view direction, std::string_view bytes) const
{
    std::cerr << direction << ": " << visible(bytes) << std::endl;
}

} // namespace telvor
