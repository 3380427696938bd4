#include "connection_option.h"

#include "link/host_lookup.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cctype>
#include <charconv>
#include <string>

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

bool dottedDecimal(std::string_view text)
{
    std::string_view rest = text;
    for (int part = 0; part < 4; ++part) {
        const std::size_t dot = rest.find('.');
        if ((part < 3) == (dot == std::string_view::npos) || !decimal(rest.substr(0, dot), 255))
            return false;
        rest = dot == std::string_view::npos ? std::string_view() : rest.substr(dot + 1);
    }
    return true;
}

// Letters, digits, hyphens, dots and underscores, or characters beyond
// ASCII (an international name).
bool nameCharacters(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char character) {
        const auto byte = static_cast<unsigned char>(character);
        return byte >= 0x80 || std::isalnum(byte) || character == '-' || character == '.' || character == '_';
    });
}

// A numeric IPv6 address, with the zone of a link-local one ("%eth0").
bool ipv6Address(std::string_view text)
{
    const std::size_t percent = text.find('%');
    if (percent != std::string_view::npos && !nameCharacters(text.substr(percent + 1)))
        return false;
    in6_addr parsed{};
    return ::inet_pton(AF_INET6, std::string(text.substr(0, percent)).c_str(), &parsed) == 1;
}

// Text made only of digits and dots is meant as a dotted-decimal IPv4
// address and must be one; any other is a host name.
bool hostNameOrIpv4(std::string_view text)
{
    if (!text.empty() && text.find_first_not_of("0123456789.") == std::string_view::npos)
        return dottedDecimal(text);
    return nameCharacters(text);
}

} // namespace

std::optional<ConnectionChoice> tcpChoice(std::string_view value)
{
    value = withoutBlanks(value);
    std::string_view address = value;
    std::optional<std::string_view> port;
    if (value.starts_with('[')) {
        const std::size_t close = value.find(']');
        if (close == std::string_view::npos)
            return std::nullopt;
        address = value.substr(1, close - 1);
        const std::string_view rest = value.substr(close + 1);
        if (!rest.empty() && rest.front() != ':')
            return std::nullopt;
        if (!rest.empty())
            port = rest.substr(1);
        if (!ipv6Address(address))
            return std::nullopt;
    } else if (std::count(value.begin(), value.end(), ':') > 1) {
        // A bare IPv6 address takes no port: its last group could be one.
        if (!ipv6Address(value))
            return std::nullopt;
    } else {
        const std::size_t colon = value.find(':');
        address = value.substr(0, colon);
        if (colon != std::string_view::npos)
            port = value.substr(colon + 1);
        if (!hostNameOrIpv4(address))
            return std::nullopt;
    }
    ConnectionChoice choice;
    choice.transport = ConnectionChoice::Transport::Tcp;
    choice.address = std::string(address);
    choice.port = kDefaultTcpPort;
    if (port) {
        const std::optional<int> number = decimal(*port, 65535);
        if (!number || *number == 0)
            return std::nullopt;
        choice.port = static_cast<std::uint16_t>(*number);
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
