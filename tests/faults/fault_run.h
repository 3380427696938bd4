// One device operation against a virtual device of its own, in-process over
// loopback TCP or a pseudo-terminal, with every outcome kept for checking:
// the result, the texts and boxes shown, the working image afterwards, the
// lines the device received, the time taken and the open descriptors.
#pragma once

#include "support/recording_surface.h"

#include "image/settings_image.h"
#include "link/timing.h"
#include "sim/device_faults.h"

#include <chrono>
#include <string>
#include <vector>

namespace telvor {

enum class Operation { Version, Read, Write };
enum class Transport { Tcp, Serial };

struct FaultRun {
    bool result = false;
    std::string status;
    std::vector<std::string> boxes;
    SettingsImage working;
    std::vector<std::string> deviceLines;
    std::chrono::milliseconds elapsed{};
    // Open descriptors of the process before the device existed, and after
    // it was gone again while the link object still lived.
    int descriptorsBefore = 0;
    int descriptorsAfter = 0;
};

struct FaultSetup {
    Operation operation = Operation::Write;
    Transport transport = Transport::Tcp;
    SettingsImage deviceImage;
    SettingsImage working;
    DeviceFaults faults;
    Timing timing;
};

FaultRun runWithFaults(const FaultSetup& setup);

int openDescriptorCount();

} // namespace telvor
