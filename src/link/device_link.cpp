#include "link/device_link.h"

#include "link/reply_rules.h"
#include "link/sliced_wait.h"

#include <algorithm>
#include <cstring>
#include <unistd.h>

namespace telvor {

DeviceLink::~DeviceLink()
{
    if (m_serial >= 0)
        ::close(m_serial);
    if (m_socket >= 0)
        ::close(m_socket);
}

int DeviceLink::open(int serialPortNumber)
{
    if (m_serial >= 0 || m_socket >= 0)
        close();
    openFailureDetail.clear();
    return useTcp ? openTcp() : openSerial(serialPortNumber);
}

void DeviceLink::close()
{
    if (m_serial >= 0) {
        ::close(m_serial);
        m_serial = -1;
    }
    if (m_socket >= 0) {
        closeSocket();
        SlicedWait(timing.keepAliveSlice, keepAlive).pause(timing.tcpCloseDelay);
    }
}

int DeviceLink::sendCommand(const char* text)
{
    return useTcp ? tcpCommand(text) : serialCommand(text);
}

int DeviceLink::sendQuery(const char* text)
{
    return useTcp ? tcpQuery(text) : serialQuery(text);
}

void DeviceLink::reportSent(const std::string& line)
{
    if (onTraffic)
        onTraffic(Direction::Sent, line);
}

void DeviceLink::reportReceived(const char* bytes, std::size_t count)
{
    if (onTraffic)
        onTraffic(Direction::Received, std::string_view(bytes, count));
}

void DeviceLink::storeReplyText(const std::string& text)
{
    const std::size_t length = std::min(text.size(), sizeof replyText - 1);
    std::memcpy(replyText, text.data(), length);
    replyText[length] = '\0';
}

} // namespace telvor
