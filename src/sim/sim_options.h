// The command line of telvor-sim.
#pragma once

#include "device_faults.h"
#include "sim_server.h"
#include "virtual_device.h"

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace telvor {

struct SimOptions {
    std::optional<std::string> tcpAddress; // with tcpPort: serve TCP
    int tcpPort = 0;
    std::optional<std::string> ptyLink; // serve a pseudo-terminal
    std::string imageFile;              // empty: an all-zero image
    std::string versionText = std::string(VirtualDevice::kDefaultVersionText);
    // The faults of every device.
    DeviceFaults faults;
    // --devices N: N devices, each on a port of its own; --save then names a
    // folder (server.saveFolder).
    std::optional<int> devices;
    // A device's own fault options (--for K), by its number from 1, in the
    // order given: each an option and its value, as on the command line.
    std::map<int, std::vector<std::pair<std::string, std::string>>> deviceFaultOptions;
    ServerOptions server;
    bool help = false;
};

// The options of `arguments` (without the program name); on a mistake,
// nothing, with `error` saying what is wrong.
std::optional<SimOptions> parseSimOptions(const std::vector<std::string>& arguments, std::string& error);

// The faults of device `number` (from 1): those of every device with its
// own laid over them.
DeviceFaults faultsOfDevice(const SimOptions& options, int number);

// What --help prints.
std::string simUsage();

} // namespace telvor
