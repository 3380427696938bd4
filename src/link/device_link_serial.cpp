// The serial side of the device link. The port is read without blocking:
// poll() stands in for the driver time-outs, so that a reply ends at the
// requested count, at a pause between two bytes, or at the total limit; with
// content framing also at a short settle after bytes that make a whole reply.
#include "link/device_link.h"

#include "link/reply_rules.h"
#include "link/serial_device_path.h"
#include "link/serial_open_failure.h"
#include "link/sliced_wait.h"

#include <algorithm>
#include <cerrno>
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

int DeviceLink::openSerial(int serialPortNumber)
{
    const std::string path = serialDevicePath(serialDeviceFormat, serialPortNumber);
    if (path.empty()) {
        openFailureDetail = serialPortNumberDetail(serialPortNumber);
        return 1;
    }
    const int descriptor = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        const int error = errno;
        openFailureDetail = serialOpenFailureDetail(path, error, serialDeviceFormat, listSerialDevices());
        return 1;
    }
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        ::close(descriptor);
        openFailureDetail = serialOpenFailureDetail(path, EBUSY, serialDeviceFormat, {});
        return 1;
    }
    ::ioctl(descriptor, TIOCEXCL);
    if (!applyLineSettings(descriptor) && onWarning)
        onWarning(kLineSettingsWarning);
    dropModemLines(descriptor);
    m_serial = descriptor;
    m_serialPortKind = serialPortKindOf(descriptor);
    return 0;
}

bool DeviceLink::writeSerial(const std::string& line)
{
    const auto limit = timing.serialWriteBase + timing.serialWritePerByte * static_cast<long>(line.size());
    SlicedWait wait(timing.keepAliveSlice, keepAlive);
    ElapsedTimer timer;
    std::size_t written = 0;
    while (written < line.size()) {
        const ssize_t count = ::write(m_serial, line.data() + written, line.size() - written);
        if (count > 0) {
            reportSent(line.substr(written, static_cast<std::size_t>(count)));
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
        const short events = wait.waitFor(m_serial, POLLOUT, limit - elapsed);
        if (events != 0 && (events & POLLOUT) == 0)
            return false;
    }
    return true;
}

std::size_t DeviceLink::readSerial(char* buffer, std::size_t capacity, ReplyKind kind)
{
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto totalDeadline = start + timing.serialReadBase + timing.serialReadPerByte * static_cast<long>(capacity);
    auto deadline = totalDeadline;
    const auto settle = m_serialPortKind == SerialPortKind::Direct ? timing.serialSettleDirect : timing.serialSettle;
    SlicedWait wait(timing.keepAliveSlice, keepAlive);
    std::size_t count = 0;
    while (count < capacity) {
        const auto now = Clock::now();
        if (now >= deadline)
            break;
        const short events = wait.waitFor(m_serial, POLLIN, std::chrono::ceil<Milliseconds>(deadline - now));
        if (events == 0)
            continue;
        if ((events & POLLIN) == 0)
            break;
        const ssize_t received = ::read(m_serial, buffer + count, capacity - count);
        if (received < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        if (received <= 0)
            break;
        reportReceived(buffer + count, static_cast<std::size_t>(received));
        count += static_cast<std::size_t>(received);
        // A byte that comes within the settle time still belongs to this
        // reply (a line feed after the CR, say) and puts the pause rule back
        // in charge unless the bytes make a whole reply again.
        const bool looksComplete = !strictSerialTiming && serialReplyLooksComplete(kind, std::string_view(buffer, count));
        deadline = std::min(totalDeadline, Clock::now() + (looksComplete ? settle : timing.serialInterByte));
    }
    return count;
}

int DeviceLink::serialCommand(const char* text)
{
    const std::string_view command = text ? text : "";
    const std::string line = framedLine(command, kCommandLineCapacity);
    if (line.empty() || !writeSerial(line))
        return 1;
    char reply[kCommandReplyLength];
    const std::size_t count =
        readSerial(reply, sizeof reply, isVersionCommand(command) ? ReplyKind::Version : ReplyKind::Command);
    if (count == 0)
        return 3;
    const std::string_view held(reply, count);
    if (!serialReplyAcknowledged(held))
        return 2;
    storeReplyText(serialReplyText(held));
    return 0;
}

int DeviceLink::serialQuery(const char* text)
{
    const std::string line = framedLine(text ? text : "", kQueryLineCapacity);
    if (line.empty() || !writeSerial(line))
        return 1;
    const std::size_t count = readSerial(answer, kAnswerCapacity, ReplyKind::Query);
    answer[count] = '\0';
    return count == 0 ? 3 : 0;
}

} // namespace telvor
