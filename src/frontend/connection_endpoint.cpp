#include "frontend/connection_endpoint.h"

#include <cstdint>

namespace telvor {

Endpoint endpointOf(const ConnectionSettings& settings)
{
    if (!settings.useTcp)
        return SerialPortNumber{settings.serialPortNumber};
    // A stored port beyond 16 bits reaches the device by its low 16 bits.
    return TcpEndpoint{settings.ipAddress, static_cast<std::uint16_t>(settings.tcpPort & 0xFFFF)};
}

void applyConnectionSettings(const ConnectionSettings& settings, DeviceLink& link)
{
    link.endpoint = endpointOf(settings);
    link.serialDeviceFormat = settings.serialDeviceFormat;
    link.strictSerialTiming = settings.strictSerialTiming;
}

} // namespace telvor
