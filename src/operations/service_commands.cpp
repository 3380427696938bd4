#include "device_operations.h"
#include "group_condition.h"

#include "link/device_link.h"

#include <array>
#include <utility>

namespace telvor {

namespace {

// A service command, run after a passed verification when its option is
// ticked. An empty line stands for the clock line, built when it is sent.
struct ServiceCommand {
    bool ServiceOptions::*option;
    GroupCondition condition;
    std::string_view line;
    std::string_view box;
    std::string_view status;
    std::string_view appended;
    bool resultIgnored;
};

using enum GroupCondition;

// "INIT!" restarts the device, which may do so before it acknowledges.
constexpr std::array kServiceCommands = {
    ServiceCommand{&ServiceOptions::resetCounters, From20, "RCNT!", "No answer from device (RCNT)",
                   "Error during counter reset", ",counters cleared", false},
    ServiceCommand{&ServiceOptions::eraseLog, From20, "ERS!", "No answer from device (ERS)", "Error during log erase",
                   ", log cleared", false},
    ServiceCommand{&ServiceOptions::setClock,
                   Always,
                   {},
                   "No answer from device (TIME)",
                   "Error during RTC update",
                   ",RTC updated",
                   false},
    ServiceCommand{&ServiceOptions::resetDevice, Always, "INIT!", {}, {}, ",\r\ndevice reset.", true},
};

} // namespace

bool DeviceOperations::runServiceCommands()
{
    bool stepShown = false;
    for (const ServiceCommand& service : kServiceCommands) {
        if (!(m_controls.service.*service.option) || !holds(service.condition, m_version, m_working))
            continue;
        if (!std::exchange(stepShown, true))
            m_surface.setStep(OperationStep::ServiceCommands);
        const std::string line = service.line.empty() ? clockLine(m_clock()) : std::string(service.line);
        if (service.resultIgnored)
            m_link.sendCommand(line);
        else if (!command(line, service.box, service.status))
            return false;
        m_surface.appendStatusText(service.appended);
    }
    return true;
}

} // namespace telvor
