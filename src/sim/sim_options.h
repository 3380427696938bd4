// The command line of telvor-sim.
#pragma once

#include "device_faults.h"
#include "sim_server.h"
#include "virtual_device.h"

#include <optional>
#include <string>
#include <vector>

namespace telvor {

struct SimOptions {
    std::optional<std::string> tcpAddress; // with tcpPort: serve TCP
    int tcpPort = 0;
    std::optional<std::string> ptyLink; // serve a pseudo-terminal
    std::string imageFile;              // empty: an all-zero image
    std::string versionText = std::string(VirtualDevice::kDefaultVersionText);
    DeviceFaults faults;
    ServerOptions server;
    bool help = false;
};

// The options of `arguments` (without the program name); on a mistake,
// nothing, with `error` saying what is wrong.
std::optional<SimOptions> parseSimOptions(const std::vector<std::string>& arguments, std::string& error);

// What --help prints.
std::string simUsage();

} // namespace telvor
