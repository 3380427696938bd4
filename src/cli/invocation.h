// What a telvorctl command line asks for, parsed and checked, in plain types
// that the command functions take.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
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

// The images an operation of the history may hold, and their names.
enum class ImageChoice { Sent, Read, Backup };
inline constexpr std::array<std::pair<std::string_view, ImageChoice>, 3> kImageNames{{
    {"sent", ImageChoice::Sent},
    {"read", ImageChoice::Read},
    {"backup", ImageChoice::Backup},
}};

struct Invocation {
    std::string command;
    std::vector<std::string> operands; // file names in the file system's encoding
    ConnectionChoice connection;
    bool trace = false;
    // No progress line on a terminal.
    bool quiet = false;
    // Results as one JSON document on standard output.
    bool json = false;
    // ports: ask every port for the device's version.
    bool probe = false;
    // Serial replies end only at a 500 ms pause, whatever the saved settings say.
    bool strictSerial = false;
    std::optional<std::string> baseFile;
    std::optional<std::string> outputFile; // -o
    ServiceChoice service;
    // The history database instead of the per-user one; or none at all.
    std::optional<std::string> historyFile;
    bool noHistory = false;
    // A write without reading the device's settings into the history first.
    bool noBackup = false;
    // Which operations the history lists: of one target, the newest `limit`
    // (0 all).
    std::optional<std::string> target;
    int limit = 0;
    std::optional<ImageChoice> image;
    std::optional<int> olderThanDays;
    // fleet: devices at once, attempts after the first for an unreachable
    // device, the receipts file instead of the one beside the plan, only
    // checking the plan, skipping what the history shows written.
    int jobs = 8;
    int retries = 1;
    std::optional<std::string> receiptsFile;
    bool dryRun = false;
    bool resume = false;
};

} // namespace telvor
