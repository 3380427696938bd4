#include "link/serial_port_kind.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace telvor {

namespace {

// Linux's device numbers: Unix98 pseudo-terminal slaves take majors 136 to
// 143; major 4 holds the virtual consoles below minor 64 and the on-board
// serial ports ttyS0 onwards from it.
constexpr unsigned kFirstPseudoTerminalMajor = 136;
constexpr unsigned kLastPseudoTerminalMajor = 143;
constexpr unsigned kTerminalMajor = 4;
constexpr unsigned kFirstSerialPortMinor = 64;

} // namespace

SerialPortKind serialPortKind(unsigned major, unsigned minor)
{
    if (major >= kFirstPseudoTerminalMajor && major <= kLastPseudoTerminalMajor)
        return SerialPortKind::Direct;
    if (major == kTerminalMajor && minor >= kFirstSerialPortMinor)
        return SerialPortKind::Direct;
    return SerialPortKind::Buffered;
}

SerialPortKind serialPortKindOf(int descriptor)
{
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISCHR(status.st_mode))
        return SerialPortKind::Buffered;
    return serialPortKind(::major(status.st_rdev), ::minor(status.st_rdev));
}

} // namespace telvor
