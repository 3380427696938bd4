// Endpoints as the failure messages of the tests show them.
#pragma once

#include "link/endpoint.h"

#include <ostream>

namespace telvor {

inline void PrintTo(const SerialPortNumber& port, std::ostream* out)
{
    *out << "serial port " << port.number;
}

inline void PrintTo(const SerialPortPath& port, std::ostream* out)
{
    *out << "serial device " << port.path;
}

inline void PrintTo(const TcpEndpoint& endpoint, std::ostream* out)
{
    *out << "TCP " << endpoint.host << ":" << endpoint.port;
}

} // namespace telvor
