// Turning the device's address, as a person typed it, into the socket
// addresses to connect to: a numeric IPv4 or IPv6 address as it stands, a
// host name through the system's resolver, looked up on a thread of its own
// so that the caller's window stays alive while a name server is slow.
#pragma once

#include "link/timing.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <sys/socket.h>
#include <vector>

namespace telvor {

class SlicedWait;

struct SocketAddress {
    sockaddr_storage storage{};
    socklen_t length = 0;

    int family() const { return storage.ss_family; }
    const sockaddr* get() const { return reinterpret_cast<const sockaddr*>(&storage); }
};

// The address in numbers as a person writes it: "127.0.0.1", "::1".
std::string numericText(const SocketAddress& address);

// The addresses a host stands for, in the order to try them, or why there
// are none.
struct HostAddresses {
    std::vector<SocketAddress> addresses;
    std::string failure; // the reason for a person, when there are none
};

// Looks a host up for a TCP connection to `port`. It may block for as long
// as the name servers take; the device link runs it on a thread of its own.
using HostLookup = std::function<HostAddresses(const std::string& host, std::uint16_t port)>;

// The system's resolver (getaddrinfo): IPv6 and IPv4 addresses alike, a
// numeric address without asking any name server.
HostAddresses lookUpHost(const std::string& host, std::uint16_t port);

// Text without the blanks (spaces, tabs, line ends) around it, which a
// pasted address often brings along.
std::string_view withoutBlanks(std::string_view text);

// The host part of an address as typed: without the blanks around it, and
// without the brackets that may enclose an IPv6 address.
std::string_view hostToLookUp(std::string_view typed);

// Runs `lookup` on a thread of its own and waits for it through `wait`, so
// that the keep-alive hook goes on being called, for at most `limit`. A
// lookup that takes longer is left to finish on its own and fails here.
HostAddresses lookUpWithin(const HostLookup& lookup, const std::string& host, std::uint16_t port, Milliseconds limit,
                           SlicedWait& wait);

} // namespace telvor
