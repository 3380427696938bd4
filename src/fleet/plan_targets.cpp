#include "fleet/plan_targets.h"

#include "link/host_lookup.h"
#include "link/serial_device_path.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace telvor {

namespace {

// A numeric address in its one standard spelling ("::1" for
// "0:0:0:0:0:0:0:1"); a host name in lower case, as names compare.
std::string hostKey(std::string_view typed)
{
    std::string host(hostToLookUp(typed));
    unsigned char address[sizeof(in6_addr)];
    char text[INET6_ADDRSTRLEN];
    for (const int family : {AF_INET, AF_INET6})
        if (::inet_pton(family, host.c_str(), address) == 1 && ::inet_ntop(family, address, text, sizeof text))
            return text;
    std::transform(host.begin(), host.end(), host.begin(),
                   [](unsigned char character) { return static_cast<char>(std::tolower(character)); });
    return host;
}

// Through the symbolic links that name one port several ways
// (/dev/serial/by-id/...).
std::string deviceKey(const std::string& path)
{
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
    return "serial:" + (error ? path : resolved.string());
}

} // namespace

PlanTargetKey planTargetKey(const Endpoint& endpoint, const std::string& serialDeviceFormat)
{
    if (const auto* tcp = std::get_if<TcpEndpoint>(&endpoint))
        return {"tcp:" + hostKey(tcp->host) + ":" + std::to_string(tcp->port), false};
    if (const auto* port = std::get_if<SerialPortNumber>(&endpoint)) {
        const std::string path = serialDevicePath(serialDeviceFormat, port->number);
        return {path.empty() ? std::string() : deviceKey(path), true};
    }
    return {deviceKey(std::get<SerialPortPath>(endpoint).path), true};
}

} // namespace telvor
