#include "connection_option.h"

#include <charconv>

namespace telvor {
namespace {

constexpr int kDefaultTcpPort = 23;
constexpr int kHighestSerialPort = 255;

// A plain decimal number: digits only, no sign, no leading zero.
std::optional<int> decimal(std::string_view text, int highest)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos
        || (text.size() > 1 && text.front() == '0'))
        return std::nullopt;
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value > highest)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<ConnectionChoice> tcpChoice(std::string_view value)
{
    const std::size_t colon = value.find(':');
    const std::string_view address = value.substr(0, colon);
    std::string_view rest = address;
    for (int part = 0; part < 4; ++part) {
        const std::size_t dot = rest.find('.');
        if ((part < 3) == (dot == std::string_view::npos) || !decimal(rest.substr(0, dot), 255))
            return std::nullopt;
        rest = dot == std::string_view::npos ? std::string_view() : rest.substr(dot + 1);
    }
    ConnectionChoice choice;
    choice.transport = ConnectionChoice::Transport::Tcp;
    choice.address = std::string(address);
    choice.port = kDefaultTcpPort;
    if (colon != std::string_view::npos) {
        const std::optional<int> port = decimal(value.substr(colon + 1), 65535);
        if (!port || *port == 0)
            return std::nullopt;
        choice.port = static_cast<std::uint16_t>(*port);
    }
    return choice;
}

std::optional<ConnectionChoice> serialChoice(std::string_view value)
{
    const std::optional<int> number = decimal(value, kHighestSerialPort);
    if (!number)
        return std::nullopt;
    ConnectionChoice choice;
    choice.transport = ConnectionChoice::Transport::Serial;
    choice.serialPortNumber = *number;
    return choice;
}

std::string serialPortRefusal(std::string_view value)
{
    return "needs a port number from 0 to " + std::to_string(kHighestSerialPort) + ", not \"" + std::string(value)
        + "\"";
}

} // namespace telvor
