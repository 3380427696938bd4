// Serial port numbers (1 to 255, as the window and the settings count them)
// and the device paths behind them.
#pragma once

#include <optional>
#include <string>

namespace telvor {

inline constexpr const char* kDefaultSerialDeviceFormat = "/dev/ttyS%d";
inline constexpr int kHighestSerialPortNumber = 255;

// A usable format holds exactly one %d and no other conversion ("%%" is a
// literal percent sign).
bool isValidSerialDeviceFormat(const std::string& format);

// The device path of port `portNumber`: the format filled with the port
// number minus one, so that port 1 is /dev/ttyS0 under the default format.
// An unusable format is replaced by the default one. Empty for a port number
// outside 1 to 255: such a port cannot be opened.
std::string serialDevicePath(const std::string& format, int portNumber);

// The port number whose device path under `format` is `devicePath`, if any.
std::optional<int> serialPortNumberOf(const std::string& format, const std::string& devicePath);

} // namespace telvor
