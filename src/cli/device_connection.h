// Points the link at the device that telvorctl's command line names, or at
// the one the window's saved connection settings name.
#pragma once

#include "invocation.h"

namespace telvor {

class DeviceLink;

// Sets the link's transport, address and serial device format; returns the
// serial port number to open it with.
int connectLink(const ConnectionChoice& choice, DeviceLink& link);

} // namespace telvor
