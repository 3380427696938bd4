#include "history/process_identity.h"

#include <cerrno>
#include <fstream>
#include <sstream>

#include <signal.h>

namespace telvor {

namespace {

// Field 22 of /proc/PID/stat: clock ticks from the boot to the start. The
// command name before it is in parentheses and may hold blanks.
std::string startTicks(pid_t pid)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(file, line))
        return {};
    const std::size_t nameEnd = line.rfind(')');
    if (nameEnd == std::string::npos)
        return {};
    std::istringstream fields(line.substr(nameEnd + 1));
    std::string field;
    // Fields 3 to 21 come first.
    for (int number = 3; number <= 22; ++number)
        if (!(fields >> field))
            return {};
    return field;
}

std::string bootId()
{
    std::ifstream file("/proc/sys/kernel/random/boot_id");
    std::string id;
    std::getline(file, id);
    return id;
}

} // namespace

std::string processIdentity(pid_t pid)
{
    if (pid <= 0 || (::kill(pid, 0) != 0 && errno != EPERM))
        return {};
    const std::string ticks = startTicks(pid);
    const std::string boot = bootId();
    if (ticks.empty() || boot.empty())
        return "alive";
    return boot + "/" + ticks;
}

} // namespace telvor
