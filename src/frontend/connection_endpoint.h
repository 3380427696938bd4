// Points a device link at the device that connection settings name. The
// window and telvorctl both go through here, so a port number or an address
// means the same device in each.
#pragma once

#include "frontend/connection_settings.h"

#include "link/device_link.h"
#include "link/endpoint.h"

namespace telvor {

// The serial port by its number, or the TCP address and port.
Endpoint endpointOf(const ConnectionSettings& settings);

// Sets the link's endpoint, serial device format and serial framing.
void applyConnectionSettings(const ConnectionSettings& settings, DeviceLink& link);

} // namespace telvor
