// What a person needs to know when a serial port cannot be opened: the
// device path, the system's reason and the remedy on Linux. The texts are
// UTF-8 (device paths and the system's reasons are).
#pragma once

#include "link/serial_devices.h"

#include <string>
#include <vector>

namespace telvor {

// Why opening `devicePath` failed with `error` (an errno value), with the
// remedy and, for a missing device, the devices that exist with the port
// number each has under `format`.
std::string serialOpenFailureDetail(const std::string& devicePath, int error, const std::string& format,
                                    const std::vector<SerialDevice>& devices);

// What the user can do about `error` (an errno value) when opening a serial
// port, in whole lines; empty when there is nothing to advise beyond the
// reason itself.
std::string serialOpenRemedy(int error);

// The detail for a port number that names no device at all.
std::string serialPortNumberDetail(int portNumber);

} // namespace telvor
