// Where the device link connects: a serial port by the number the window
// and the settings count it by, a serial device by its path, or a TCP host
// and port.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace telvor {

// Port n is the device path that the link's serial device format gives for
// it (1 to 255; any other number names no device).
struct SerialPortNumber {
    int number = 0;

    bool operator==(const SerialPortNumber&) const = default;
};

struct SerialPortPath {
    std::string path;

    bool operator==(const SerialPortPath&) const = default;
};

// The host as the user gave it, UTF-8: a host name, or a numeric IPv4 or
// IPv6 address (the brackets around one are allowed); blanks around it are
// ignored.
struct TcpEndpoint {
    std::string host;
    std::uint16_t port = 0;

    bool operator==(const TcpEndpoint&) const = default;
};

using Endpoint = std::variant<SerialPortNumber, SerialPortPath, TcpEndpoint>;

inline bool isTcp(const Endpoint& endpoint)
{
    return std::holds_alternative<TcpEndpoint>(endpoint);
}

} // namespace telvor
