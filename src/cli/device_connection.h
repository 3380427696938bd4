// Points the link at the device that telvorctl's command line names, or at
// the one the window's saved connection settings name.
#pragma once

#include "invocation.h"

#include <optional>
#include <string>

namespace telvor {

class DeviceLink;

// Sets the link's endpoint, serial device format and serial framing: the
// saved settings with the command line's choice laid over them.
// `strictSerial` (--strict-serial) asks for pause framing whatever the
// saved settings say. Returns why the link cannot be set when the saved
// serial port is used and its number is one that --com would refuse.
std::optional<std::string> connectLink(const ConnectionChoice& choice, bool strictSerial, DeviceLink& link);

} // namespace telvor
