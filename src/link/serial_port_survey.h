// Every serial device of the machine as `telvorctl ports` shows it: what it
// is, the port number that names it, whether this user may open it, and on
// request what a device on it answers to "VER?".
#pragma once

#include "link/serial_device_info.h"
#include "link/serial_devices.h"
#include "link/timing.h"

#include <string>
#include <vector>

namespace telvor {

struct SurveyedPort {
    SerialDevice device;
    SerialDeviceInfo info;
    PortNumbering numbering;
    // The errno value why this user may not open the node for reading and
    // writing; 0 when it may.
    int accessError = 0;
};

// `format` is the serial device format the port numbers count by.
std::vector<SurveyedPort> surveySerialPorts(const std::string& format, const SystemPaths& paths = systemPaths());

struct ProbeAnswer {
    enum class Outcome {
        Answered,  // `version` holds the text after "OK" CR up to its CR, Windows-1250
        NoAnswer,  // opened, but "VER?" was not acknowledged
        NotOpened, // `detail` says why, as the link's open failure does
        NotAsked,  // this user may not open the port (accessError)
    };
    Outcome outcome = Outcome::NoAnswer;
    std::string version;
    std::string detail;
};

// Asks each port that this user may open for the device's version: "VER?"
// at 9600 baud, one try within the link's usual limits, every node at the
// same time (a port with nothing on it takes the whole limit). Ports that
// this user may not open are not touched. One answer per port, in order.
std::vector<ProbeAnswer> probeSerialPorts(const std::vector<SurveyedPort>& ports, const Timing& timing = Timing());

} // namespace telvor
