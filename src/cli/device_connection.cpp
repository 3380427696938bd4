#include "device_connection.h"

#include "connection_option.h"

#include "frontend/connection_endpoint.h"
#include "frontend/connection_settings.h"

namespace telvor {

std::optional<std::string> connectLink(const ConnectionChoice& choice, bool strictSerial, DeviceLink& link)
{
    // The serial device format comes from the saved settings also when the
    // port is named on the command line: a port number means the same
    // device as in the window.
    ConnectionSettings settings = loadConnectionSettings();
    switch (choice.transport) {
    case ConnectionChoice::Transport::Saved:
        if (const std::string number = std::to_string(settings.serialPortNumber);
            !settings.useTcp && !serialChoice(number))
            return "Port_COM in " + connectionSettingsFile() + " " + serialPortRefusal(number)
                + "; give --com or --tcp";
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
    return std::nullopt;
}

} // namespace telvor
