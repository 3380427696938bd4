// telvorctl ports: the serial devices of the machine, the port number that
// --com and the window give each, and whether this user may open it; with
// --probe also what a device on it answers to "VER?".
#pragma once

#include "invocation.h"

namespace telvor {

int runPorts(const Invocation& invocation);

} // namespace telvor
