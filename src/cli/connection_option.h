// The values of --tcp and --com.
#pragma once

#include "invocation.h"

#include <QString>

#include <optional>

namespace telvor {

// "ADDRESS[:PORT]": four decimal numbers 0 to 255 joined by dots, without
// leading zeros, and a port from 1 to 65535 (23 when absent).
std::optional<ConnectionChoice> tcpChoice(const QString& value);

// A serial port number from 0 to 255.
std::optional<ConnectionChoice> serialChoice(const QString& value);

} // namespace telvor
