#include "device_connection.h"

#include "frontend/connection_settings.h"
#include "link/device_link.h"

#include <algorithm>
#include <cstring>

namespace telvor {

namespace {

void setAddress(DeviceLink& link, const std::string& address)
{
    const std::size_t length = std::min(address.size(), sizeof link.ipAddress - 1);
    std::memcpy(link.ipAddress, address.data(), length);
    link.ipAddress[length] = '\0';
}

} // namespace

int connectLink(const ConnectionChoice& choice, bool strictSerial, DeviceLink& link)
{
    // The serial device format comes from the saved settings also when the
    // port is named on the command line: a port number means the same
    // device as in the window.
    const ConnectionSettings saved = loadConnectionSettings();
    link.serialDeviceFormat = saved.serialDeviceFormat;
    link.strictSerialTiming = strictSerial || saved.strictSerialTiming;
    switch (choice.transport) {
    case ConnectionChoice::Transport::Saved:
        link.useTcp = saved.useTcp ? 1 : 0;
        setAddress(link, saved.ipAddress);
        link.tcpPort = saved.tcpPort;
        return saved.serialPortNumber;
    case ConnectionChoice::Transport::Tcp:
        link.useTcp = 1;
        setAddress(link, choice.address);
        link.tcpPort = choice.port;
        return saved.serialPortNumber;
    case ConnectionChoice::Transport::Serial:
        link.useTcp = 0;
        return choice.serialPortNumber;
    }
    return saved.serialPortNumber;
}

} // namespace telvor
