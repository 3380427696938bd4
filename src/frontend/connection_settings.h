// The connection settings remembered per user between runs: which transport,
// the serial port number, the device's address and TCP port, the format that
// turns a port number into a serial device path, whether serial replies end
// only at a pause, and whether the window backs a device up before writing.
#pragma once

#include "link/serial_device_path.h"

#include <cstddef>
#include <string>

class QSettings;

namespace telvor {

// The stored address is cut to this many characters.
inline constexpr std::size_t kIpAddressMaxLength = 255;

// Texts are UTF-8: the address as the user typed it (a host name, a
// numeric IPv4 or IPv6 address, blanks around it ignored when it is used),
// and the format names a file.
struct ConnectionSettings {
    // Port_COM, 0 to 255; a number outside comes back as stored, for the
    // window and telvorctl to report when it is used, as a typed one.
    int serialPortNumber = 1;
    bool useTcp = false;                                         // Transmisja_TCP
    std::string ipAddress = "192.168.2.1";                       // Adres_IP
    int tcpPort = 23;                                            // Port_TCP
    std::string serialDeviceFormat = kDefaultSerialDeviceFormat; // Serial_Device_Format
    bool strictSerialTiming = false;                             // Serial_Strict_Timing, 0 or 1
    // The window's "Write to device" reads the device's settings into the
    // history first.
    bool backupBeforeWrite = false; // Backup_Before_Write, 0 or 1

    bool operator==(const ConnectionSettings&) const = default;
};

// The user's store: organisation "Kardel", application "Telvor" (the registry
// key Software\Kardel\Telvor on Windows, the per-user configuration file
// elsewhere). A value that is missing or unusable keeps its first-start
// default; a store that cannot be read gives the defaults throughout.
ConnectionSettings loadConnectionSettings();
ConnectionSettings loadConnectionSettings(QSettings& store);

// The file of the user's store, for messages that name it.
std::string connectionSettingsFile();

// Writes every value; false when the store could not be written. Callers
// that have nobody to tell may ignore the result.
bool saveConnectionSettings(const ConnectionSettings& settings);
bool saveConnectionSettings(const ConnectionSettings& settings, QSettings& store);

} // namespace telvor
