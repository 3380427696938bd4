#include "support/simulated_device.h"

#include <stdexcept>

namespace telvor {

std::tm fixedLocalTime()
{
    std::tm time{};
    time.tm_year = 2026 - 1900;
    time.tm_mon = 4;
    time.tm_mday = 6;
    time.tm_hour = 7;
    time.tm_min = 5;
    time.tm_sec = 9;
    return time;
}

SimulatedDevice::SimulatedDevice(const SettingsImage& deviceImage, std::string versionText, DeviceFaults faults)
    : m_server(std::make_unique<SimServer>(VirtualDevice(deviceImage, std::move(versionText), std::move(faults))))
{
    if (!m_server->start())
        throw std::runtime_error("the virtual device cannot listen on loopback");
    link.endpoint = TcpEndpoint{"127.0.0.1", static_cast<std::uint16_t>(m_server->port())};
    link.timing = Timing{}.scaledDown(10);
}

std::vector<std::string> openingLines()
{
    return {"HALT!", "DEBUG=0", "HALT!", "VER?"};
}

} // namespace telvor
