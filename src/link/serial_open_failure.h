// What a person needs to know when a serial port cannot be opened: the
// device path, the system's reason and the remedy on Linux. The texts are
// UTF-8 (device paths and the system's reasons are).
#pragma once

#include <string>
#include <vector>

namespace telvor {

struct SerialDevice {
    std::string path;
    // Where a /dev/serial/by-id link leads; empty for the device nodes.
    std::string target;
};

// The serial devices present: the links of <deviceRoot>/serial/by-id and the
// ttyUSB*, ttyACM* and ttyS* nodes of <deviceRoot>, leaving out ttyS* ports
// that <ttyClassRoot>/<name>/type reports as having no UART.
std::vector<SerialDevice> listSerialDevices(const std::string& deviceRoot = "/dev",
                                            const std::string& ttyClassRoot = "/sys/class/tty");

// Why opening `devicePath` failed with `error` (an errno value), with the
// remedy and, for a missing device, the devices that exist with the port
// number each has under `format`.
std::string serialOpenFailureDetail(const std::string& devicePath, int error, const std::string& format,
                                    const std::vector<SerialDevice>& devices);

// The detail for a port number that names no device at all.
std::string serialPortNumberDetail(int portNumber);

} // namespace telvor
