// The values of --tcp and --com.
#pragma once

#include "invocation.h"

#include <optional>
#include <string>
#include <string_view>

namespace telvor {

// "ADDRESS[:PORT]", blanks around it ignored, with a port from 1 to 65535
// (23 when absent). ADDRESS is a host name, four decimal numbers 0 to 255
// joined by dots without leading zeros, or an IPv6 address: "::1" alone,
// "[::1]" or "[::1]:PORT" (the brackets are not part of the address taken).
std::optional<ConnectionChoice> tcpChoice(std::string_view value);

// A serial port number from 0 to 255.
std::optional<ConnectionChoice> serialChoice(std::string_view value);

// Why serialChoice refuses `value`, after the name of what gave it.
std::string serialPortRefusal(std::string_view value);

} // namespace telvor
