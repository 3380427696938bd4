// An endpoint as one line of text, as the history records where an operation
// went: "com:N:PATH" for a serial port by its number (with the device path
// it meant then), "serial:PATH" for a serial device by its path,
// "tcp:HOST:PORT" with an IPv6 address in brackets ("tcp:[::1]:2323").
#pragma once

#include "link/endpoint.h"

#include <optional>
#include <string>
#include <string_view>

namespace telvor {

// `serialDeviceFormat` names the device of a port number (see
// serialDevicePath()).
std::string targetText(const Endpoint& endpoint, const std::string& serialDeviceFormat);

// The endpoint a target text names, or nothing when it names none. Besides
// the recorded forms it takes "com:N" and "tcp:HOST" (port 23). A port
// number whose recorded path `serialDeviceFormat` no longer gives for it
// becomes that path, so that the same device is reached.
std::optional<Endpoint> endpointOfTarget(std::string_view target, const std::string& serialDeviceFormat);

} // namespace telvor
