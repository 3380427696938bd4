// Points the link at the device that telvorctl's command line names, or at
// the one the window's saved connection settings name.
#pragma once

#include "invocation.h"

namespace telvor {

class DeviceLink;

// Sets the link's transport, address, serial device format and serial
// framing; returns the serial port number to open it with. `strictSerial`
// (--strict-serial) asks for pause framing whatever the saved settings say.
int connectLink(const ConnectionChoice& choice, bool strictSerial, DeviceLink& link);

} // namespace telvor
