// The serial side of the device link. The port is read without blocking:
// poll() stands in for the driver time-outs, so that a reply ends at the
// requested count, at a pause between two bytes, or at the total limit; with
// content framing also at a short settle after bytes that make a whole reply.
#include "link/device_link_serial.h"

#include "link/elapsed_timer.h"
#include "link/serial_open_failure.h"
#include "link/sliced_wait.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace telvor {

namespace {

// "Błąd wpisu timeouts !" in Windows-1250.
constexpr const char* kLineSettingsWarning = "B\xB3\xB9"
                                             "d wpisu timeouts !";

// Raw 9600 baud 8N1 without flow control; CLOCAL so that a missing carrier
// never holds up reading or writing.
bool applyLineSettings(int descriptor)
{
    termios settings{};
    if (::tcgetattr(descriptor, &settings) != 0)
        return false;
    ::cfmakeraw(&settings);
    settings.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    settings.c_cflag |= CS8 | CREAD | CLOCAL;
    settings.c_iflag &= ~(IXON | IXOFF | IXANY);
    ::cfsetispeed(&settings, B9600);
    ::cfsetospeed(&settings, B9600);
    return ::tcsetattr(descriptor, TCSANOW, &settings) == 0;
}

// The device needs neither line; a port without modem lines refuses this,
// which does no harm.
void dropModemLines(int descriptor)
{
    int lines = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(descriptor, TIOCMBIC, &lines);
}

} // namespace

SerialTransport::SerialTransport(DeviceLink& link, std::string devicePath)
    : LinkTransport(link)
    , m_devicePath(std::move(devicePath))
{
}

SerialTransport::~SerialTransport()
{
    SerialTransport::close();
}

OpenResult SerialTransport::open()
{
    const std::string& format = link().serialDeviceFormat;
    const int descriptor = ::open(m_devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        const int error = errno;
        setOpenFailureDetail(serialOpenFailureDetail(m_devicePath, error, format, listSerialDevices()));
        return OpenResult::PortUnavailable;
    }
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        ::close(descriptor);
        setOpenFailureDetail(serialOpenFailureDetail(m_devicePath, EBUSY, format, {}));
        return OpenResult::PortUnavailable;
    }
    ::ioctl(descriptor, TIOCEXCL);
    if (!applyLineSettings(descriptor) && link().onWarning)
        link().onWarning(kLineSettingsWarning);
    dropModemLines(descriptor);
    m_descriptor = descriptor;
    m_portKind = serialPortKindOf(descriptor);
    return OpenResult::Opened;
}

void SerialTransport::close()
{
    if (m_descriptor < 0)
        return;
    // The exclusive use outlives this descriptor while the other side of a
    // pseudo-terminal stays open (a network serial bridge), and would turn
    // the next open away as busy, ours included, unless it runs as root.
    ::ioctl(m_descriptor, TIOCNXCL);
    ::close(m_descriptor);
    m_descriptor = -1;
}

bool SerialTransport::write(const std::string& line)
{
    const Timing& timing = link().timing;
    const auto limit = timing.serialWriteBase + timing.serialWritePerByte * static_cast<long>(line.size());
    SlicedWait wait(link());
    ElapsedTimer timer;
    std::size_t written = 0;
    while (written < line.size()) {
        const ssize_t count = ::write(m_descriptor, line.data() + written, line.size() - written);
        if (count > 0) {
            reportSent(std::string_view(line).substr(written, static_cast<std::size_t>(count)));
            written += static_cast<std::size_t>(count);
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count == 0 || errno != EAGAIN)
            return false;
        const auto elapsed = Milliseconds(timer.elapsedMs());
        if (elapsed >= limit)
            return false;
        const short events = wait.waitFor(m_descriptor, POLLOUT, limit - elapsed);
        if (events != 0 && (events & POLLOUT) == 0)
            return false;
    }
    return true;
}

std::size_t SerialTransport::read(char* buffer, std::size_t capacity, ReplyKind kind)
{
    using Clock = std::chrono::steady_clock;
    const Timing& timing = link().timing;
    const auto start = Clock::now();
    const auto totalDeadline = start + timing.serialReadBase + timing.serialReadPerByte * static_cast<long>(capacity);
    auto deadline = totalDeadline;
    const auto settle = m_portKind == SerialPortKind::Direct ? timing.serialSettleDirect : timing.serialSettle;
    SlicedWait wait(link());
    std::size_t count = 0;
    while (count < capacity) {
        const auto now = Clock::now();
        if (now >= deadline)
            break;
        const short events = wait.waitFor(m_descriptor, POLLIN, std::chrono::ceil<Milliseconds>(deadline - now));
        if (events == 0)
            continue;
        if ((events & POLLIN) == 0)
            break;
        const ssize_t received = ::read(m_descriptor, buffer + count, capacity - count);
        if (received < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        if (received <= 0)
            break;
        reportReceived(std::string_view(buffer + count, static_cast<std::size_t>(received)));
        count += static_cast<std::size_t>(received);
        // A byte that comes within the settle time still belongs to this
        // reply (a line feed after the CR, say) and puts the pause rule back
        // in charge unless the bytes make a whole reply again.
        const bool looksComplete
            = !link().strictSerialTiming && serialReplyLooksComplete(kind, std::string_view(buffer, count));
        deadline = std::min(totalDeadline, Clock::now() + (looksComplete ? settle : timing.serialInterByte));
    }
    return count;
}

// Bytes that came after the last reply had ended (an unsolicited line of a
// modem such as "RING", the rest of an over-long reply, a byte an adapter
// held back past the settle) would begin the next command's reply, which
// must begin with "OK" CR. What is waiting is read and dropped, in bounded
// rounds so that a peer that never stops sending cannot hold the link here.
void SerialTransport::discardStaleInput()
{
    constexpr int kRounds = 16;
    std::array<char, kAnswerCapacity> scratch;
    for (int round = 0; round < kRounds; ++round) {
        const ssize_t count = ::read(m_descriptor, scratch.data(), scratch.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return;
        reportReceived(std::string_view(scratch.data(), static_cast<std::size_t>(count)));
    }
}

CommandResult SerialTransport::command(std::string_view text)
{
    discardStaleInput();
    const std::string line = framedLine(text, kCommandLineCapacity);
    if (line.empty() || !write(line))
        return CommandResult::NotSent;
    std::array<char, kCommandReplyLength> reply;
    const std::size_t count
        = read(reply.data(), reply.size(), isVersionCommand(text) ? ReplyKind::Version : ReplyKind::Command);
    if (count == 0)
        return CommandResult::NoReply;
    const std::string_view held(reply.data(), count);
    if (!serialReplyAcknowledged(held))
        return CommandResult::NotAcknowledged;
    setReply(serialReplyText(held));
    return CommandResult::Acknowledged;
}

QueryResult SerialTransport::query(std::string_view text)
{
    const std::string line = framedLine(text, kQueryLineCapacity);
    if (line.empty() || !write(line))
        return QueryResult::NotSent;
    std::array<char, kAnswerCapacity> received;
    const std::size_t count = read(received.data(), received.size(), ReplyKind::Query);
    answer().assign(received.data(), count);
    return count == 0 ? QueryResult::NoAnswer : QueryResult::Answered;
}

} // namespace telvor
