// Where the system shows its devices: /dev and /sys. Tests of the port
// survey build a tree of their own with pseudo-terminals and fake sysfs
// entries and point TELVOR_SYSTEM_ROOT at it, so that they never look at
// the machine's ports.
#pragma once

#include <string>

namespace telvor {

inline constexpr const char* kSystemRootVariable = "TELVOR_SYSTEM_ROOT";

struct SystemPaths {
    std::string deviceRoot;   // /dev
    std::string ttyClassRoot; // /sys/class/tty
};

// /dev and /sys/class/tty, or the same paths under TELVOR_SYSTEM_ROOT when
// it is set and not empty.
SystemPaths systemPaths();

} // namespace telvor
