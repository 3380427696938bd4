#include "device_connection.h"

#include "frontend/connection_endpoint.h"
#include "frontend/connection_settings.h"

namespace telvor {

void connectLink(const ConnectionChoice& choice, bool strictSerial, DeviceLink& link)
{
    // The serial device format comes from the saved settings also when the
    // port is named on the command line: a port number means the same
    // device as in the window.
    ConnectionSettings settings = loadConnectionSettings();
    switch (choice.transport) {
    case ConnectionChoice::Transport::Saved:
        break;
    case ConnectionChoice::Transport::Tcp:
        settings.useTcp = true;
        settings.ipAddress = choice.address;
        settings.tcpPort = choice.port;
        break;
    case ConnectionChoice::Transport::Serial:
        settings.useTcp = false;
        settings.serialPortNumber = choice.serialPortNumber;
        break;
    }
    settings.strictSerialTiming = settings.strictSerialTiming || strictSerial;
    applyConnectionSettings(settings, link);
}

} // namespace telvor
