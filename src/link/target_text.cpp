#include "link/target_text.h"

#include "link/serial_device_path.h"

#include <charconv>

namespace telvor {

namespace {

constexpr std::string_view kSerialPortPrefix = "com:";
constexpr std::string_view kSerialPathPrefix = "serial:";
constexpr std::string_view kTcpPrefix = "tcp:";
constexpr std::uint16_t kDefaultTcpPort = 23;

std::optional<int> decimal(std::string_view text, int least, int most)
{
    int number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || number < least || number > most)
        return std::nullopt;
    return number;
}

std::optional<Endpoint> serialPortOf(std::string_view rest, const std::string& serialDeviceFormat)
{
    const std::size_t colon = rest.find(':');
    const std::optional<int> number = decimal(rest.substr(0, colon), 0, kHighestSerialPortNumber);
    if (!number)
        return std::nullopt;
    if (colon == std::string_view::npos)
        return SerialPortNumber{*number};
    const std::string path(rest.substr(colon + 1));
    if (path.empty() || path == serialDevicePath(serialDeviceFormat, *number))
        return SerialPortNumber{*number};
    return SerialPortPath{path};
}

std::optional<Endpoint> tcpOf(std::string_view rest)
{
    std::string_view host;
    std::string_view afterHost;
    if (rest.starts_with('[')) {
        const std::size_t closing = rest.find(']');
        if (closing == std::string_view::npos)
            return std::nullopt;
        host = rest.substr(1, closing - 1);
        afterHost = rest.substr(closing + 1);
    } else {
        const std::size_t colon = rest.find(':');
        host = rest.substr(0, colon);
        afterHost = colon == std::string_view::npos ? std::string_view() : rest.substr(colon);
    }
    if (host.empty())
        return std::nullopt;
    if (afterHost.empty())
        return TcpEndpoint{std::string(host), kDefaultTcpPort};
    const std::optional<int> port = afterHost.starts_with(':') ? decimal(afterHost.substr(1), 1, 65535) : std::nullopt;
    if (!port)
        return std::nullopt;
    return TcpEndpoint{std::string(host), static_cast<std::uint16_t>(*port)};
}

} // namespace

std::string targetText(const Endpoint& endpoint, const std::string& serialDeviceFormat)
{
    if (const auto* port = std::get_if<SerialPortNumber>(&endpoint))
        return std::string(kSerialPortPrefix) + std::to_string(port->number) + ":"
            + serialDevicePath(serialDeviceFormat, port->number);
    if (const auto* device = std::get_if<SerialPortPath>(&endpoint))
        return std::string(kSerialPathPrefix) + device->path;
    const auto& tcp = std::get<TcpEndpoint>(endpoint);
    const bool bracketed = tcp.host.find(':') != std::string::npos;
    return std::string(kTcpPrefix) + (bracketed ? "[" + tcp.host + "]" : tcp.host) + ":" + std::to_string(tcp.port);
}

std::optional<Endpoint> endpointOfTarget(std::string_view target, const std::string& serialDeviceFormat)
{
    if (target.starts_with(kSerialPortPrefix))
        return serialPortOf(target.substr(kSerialPortPrefix.size()), serialDeviceFormat);
    if (target.starts_with(kSerialPathPrefix) && target.size() > kSerialPathPrefix.size())
        return SerialPortPath{std::string(target.substr(kSerialPathPrefix.size()))};
    if (target.starts_with(kTcpPrefix))
        return tcpOf(target.substr(kTcpPrefix.size()));
    return std::nullopt;
}

} // namespace telvor
