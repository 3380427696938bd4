// Tells a process that still runs from one that has ended, even when the
// system has given its number to another process since.
#pragma once

#include <string>

#include <sys/types.h>

namespace telvor {

// The identity of process `pid`: the boot and the moment it started, or
// "alive" where the system does not tell them. Empty when no process `pid`
// exists.
std::string processIdentity(pid_t pid);

} // namespace telvor
