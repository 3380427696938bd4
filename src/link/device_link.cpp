#include "link/device_link.h"

#include "link/device_link_serial.h"
#include "link/device_link_tcp.h"
#include "link/link_transport.h"
#include "link/reply_rules.h"
#include "link/serial_open_failure.h"

#include <type_traits>

namespace telvor {

DeviceLink::DeviceLink() = default;

DeviceLink::~DeviceLink() = default;

OpenResult DeviceLink::open()
{
    close();
    m_openFailureDetail.clear();
    if (stopRequested())
        return OpenResult::Stopped;
    std::unique_ptr<LinkTransport> transport = transportForEndpoint();
    if (!transport)
        return OpenResult::PortUnavailable;
    const OpenResult result = transport->open();
    if (result == OpenResult::Opened)
        m_transport = std::move(transport);
    else if (stopRequested())
        return OpenResult::Stopped;
    return result;
}

std::unique_ptr<LinkTransport> DeviceLink::transportForEndpoint()
{
    return std::visit(
        [this](const auto& endpoint) -> std::unique_ptr<LinkTransport> {
            using Kind = std::decay_t<decltype(endpoint)>;
            if constexpr (std::is_same_v<Kind, TcpEndpoint>) {
                return std::make_unique<TcpTransport>(*this, endpoint);
            } else if constexpr (std::is_same_v<Kind, SerialPortPath>) {
                return std::make_unique<SerialTransport>(*this, endpoint.path);
            } else {
                std::string path = serialDevicePath(serialDeviceFormat, endpoint.number);
                if (path.empty()) {
                    m_openFailureDetail = serialPortNumberDetail(endpoint.number);
                    return nullptr;
                }
                return std::make_unique<SerialTransport>(*this, std::move(path));
            }
        },
        endpoint);
}

void DeviceLink::close()
{
    if (!m_transport)
        return;
    m_transport->close();
    m_transport.reset();
}

// A link that is not open sends nothing, as a closed port or socket would.
// A stop ends the exchange however the transport saw its end (its waits
// were cut short), and the link with it.
CommandResult DeviceLink::sendCommand(std::string_view text)
{
    const CommandResult result = m_transport && !stopRequested() ? m_transport->command(text) : CommandResult::NotSent;
    if (result == CommandResult::Acknowledged || !stopRequested())
        return result;
    close();
    return CommandResult::Stopped;
}

QueryResult DeviceLink::sendQuery(std::string_view text)
{
    const QueryResult result = m_transport && !stopRequested() ? m_transport->query(text) : QueryResult::NotSent;
    if (result == QueryResult::Answered || !stopRequested())
        return result;
    close();
    return QueryResult::Stopped;
}

LinkTransport::LinkTransport(DeviceLink& link)
    : m_link(link)
{
}

void LinkTransport::reportSent(std::string_view bytes) const
{
    if (m_link.onTraffic)
        m_link.onTraffic(DeviceLink::Direction::Sent, bytes);
}

void LinkTransport::reportReceived(std::string_view bytes) const
{
    if (m_link.onTraffic)
        m_link.onTraffic(DeviceLink::Direction::Received, bytes);
}

void LinkTransport::setReply(std::string_view text)
{
    m_link.m_reply.assign(text.substr(0, kReplyTextLimit));
}

} // namespace telvor
