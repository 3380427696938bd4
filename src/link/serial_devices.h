// The serial devices of the machine and the port numbers that name them.
#pragma once

#include "link/system_paths.h"

#include <optional>
#include <string>
#include <vector>

namespace telvor {

struct SerialDevice {
    std::string path;
    // Where a /dev/serial/by-id link leads; empty for the device nodes.
    std::string target;
};

inline constexpr const char* kNoSerialDevicesText
    = "No serial devices were found (/dev/serial/by-id, /dev/ttyUSB*, /dev/ttyACM*, /dev/ttyS*).";

// The serial devices present: the links of <deviceRoot>/serial/by-id, then
// the ttyUSB*, ttyACM* and ttyS* nodes of <deviceRoot>, each kind in
// counting order, leaving out ttyS* ports that <ttyClassRoot>/<name>/type
// reports as having no UART.
std::vector<SerialDevice> listSerialDevices(const std::string& deviceRoot, const std::string& ttyClassRoot);
// The same under the system's paths.
std::vector<SerialDevice> listSerialDevices(const SystemPaths& paths = systemPaths());

// The device node behind a device: the link's target, or the path itself.
inline const std::string& nodePath(const SerialDevice& device)
{
    return device.target.empty() ? device.path : device.target;
}

// The port number of a device under a serial device format, and when it has
// none, a format that would give it one.
struct PortNumbering {
    std::optional<int> number;
    std::string otherFormat; // "/dev/ttyUSB%d" for /dev/ttyUSB0; empty when no format can
    int otherNumber = 0;     // its number under otherFormat
};

// `format` must be usable (isValidSerialDeviceFormat).
PortNumbering portNumbering(const std::string& format, const SerialDevice& device);

} // namespace telvor
