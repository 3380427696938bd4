// What a telvorctl command line asks for, parsed and checked, in plain types
// that the command functions take.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace telvor {

// The connection named on the command line; without --tcp or --com the
// connection settings saved by the window apply.
struct ConnectionChoice {
    enum class Transport { Saved, Tcp, Serial };
    Transport transport = Transport::Saved;
    std::string address;      // Tcp: a host name, or an IPv4 or IPv6 address without brackets
    std::uint16_t port = 23;  // Tcp
    int serialPortNumber = 0; // Serial: 0 to 255
};

// The service commands that follow a verified write.
struct ServiceChoice {
    bool setClock = false;
    bool resetDevice = false;
    bool resetCounters = false;
    bool eraseLog = false;
};

struct Invocation {
    std::string command;
    std::vector<std::string> operands; // file names in the file system's encoding
    ConnectionChoice connection;
    bool trace = false;
    // Serial replies end only at a 500 ms pause, whatever the saved settings say.
    bool strictSerial = false;
    std::optional<std::string> baseFile;
    ServiceChoice service;
};

} // namespace telvor
