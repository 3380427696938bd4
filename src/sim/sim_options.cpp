#include "sim_options.h"

#include <charconv>
#include <functional>
#include <map>
#include <utility>

namespace telvor {

namespace {

constexpr std::string_view kDefaultAddress = "127.0.0.1";

std::optional<int> wholeNumber(std::string_view text, int least)
{
    int number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || number < least)
        return std::nullopt;
    return number;
}

std::optional<LineFault> lineFaultNamed(std::string_view name)
{
    static const std::map<std::string_view, LineFault> kNames = {
        {"close", LineFault::Close},
        {"silent", LineFault::Silent},
        {"error", LineFault::Error},
        {"garbage", LineFault::Garbage},
    };
    const auto found = kNames.find(name);
    return found == kNames.end() ? std::nullopt : std::optional(found->second);
}

// Splits "LEFT<separator>RIGHT" at the first (or last) separator; both sides non-empty.
std::optional<std::pair<std::string, std::string>> splitAt(const std::string& text, char separator, bool last)
{
    const std::size_t at = last ? text.rfind(separator) : text.find(separator);
    if (at == std::string::npos || at == 0 || at + 1 == text.size())
        return std::nullopt;
    return std::pair(text.substr(0, at), text.substr(at + 1));
}

using ValueOption = std::function<bool(SimOptions&, const std::string&)>;
using FaultOption = std::function<bool(DeviceFaults&, const std::string&)>;
using FlagOption = std::function<void(SimOptions&)>;

// The options that make a device misbehave; --for gives them to one device.
const std::map<std::string, FaultOption>& faultOptions()
{
    static const std::map<std::string, FaultOption> kOptions = {
        {"--silent",
         [](DeviceFaults& faults, const std::string& value) {
             faults.silentPrefixes.push_back(value);
             return true;
         }},
        {"--reply-error",
         [](DeviceFaults& faults, const std::string& value) {
             faults.errorPrefixes.push_back(value);
             return true;
         }},
        {"--corrupt",
         [](DeviceFaults& faults, const std::string& value) {
             const auto parts = splitAt(value, ':', true);
             const auto count = parts ? wholeNumber(parts->second, 1) : std::nullopt;
             if (count)
                 faults.corruptAnswers[parts->first] = *count;
             return count.has_value();
         }},
        {"--drop-after",
         [](DeviceFaults& faults, const std::string& value) {
             const auto lines = wholeNumber(value, 1);
             faults.dropAfter = lines.value_or(0);
             return lines.has_value();
         }},
        {"--fault-at",
         [](DeviceFaults& faults, const std::string& value) {
             const auto parts = splitAt(value, ':', false);
             const auto line = parts ? wholeNumber(parts->first, 1) : std::nullopt;
             const auto fault = parts ? lineFaultNamed(parts->second) : std::nullopt;
             if (line && fault)
                 faults.faultsAt[*line] = *fault;
             return line && fault;
         }},
        {"--omit",
         [](DeviceFaults& faults, const std::string& value) {
             faults.omittedKeys.insert(value);
             return true;
         }},
        {"--report",
         [](DeviceFaults& faults, const std::string& value) {
             const std::size_t equals = value.find('=');
             if (equals == std::string::npos || equals == 0)
                 return false;
             faults.reportedValues[value.substr(0, equals)] = value.substr(equals + 1);
             return true;
         }},
    };
    return kOptions;
}

// The most devices: one port each.
constexpr int kMostDevices = 65535;

const std::map<std::string, ValueOption>& valueOptions()
{
    static const std::map<std::string, ValueOption> kOptions = {
        {"--tcp",
         [](SimOptions& options, const std::string& value) {
             const std::size_t colon = value.rfind(':');
             const std::string address
                 = colon == std::string::npos ? std::string(kDefaultAddress) : value.substr(0, colon);
             const auto port = wholeNumber(colon == std::string::npos ? value : value.substr(colon + 1), 0);
             if (!port || *port > 65535 || address.empty())
                 return false;
             options.tcpAddress = address;
             options.tcpPort = *port;
             return true;
         }},
        {"--pty",
         [](SimOptions& options, const std::string& value) {
             options.ptyLink = value;
             return true;
         }},
        {"--baud",
         [](SimOptions& options, const std::string& value) {
             const auto baud = wholeNumber(value, 1);
             options.server.baud = baud.value_or(0);
             return baud.has_value();
         }},
        {"--image",
         [](SimOptions& options, const std::string& value) {
             options.imageFile = value;
             return true;
         }},
        {"--version-text",
         [](SimOptions& options, const std::string& value) {
             options.versionText = value;
             return true;
         }},
        {"--save",
         [](SimOptions& options, const std::string& value) {
             options.server.saveFile = value;
             return true;
         }},
        {"--latency",
         [](SimOptions& options, const std::string& value) {
             const auto latency = wholeNumber(value, 0);
             options.server.latency = std::chrono::milliseconds(latency.value_or(0));
             return latency.has_value();
         }},
        {"--devices",
         [](SimOptions& options, const std::string& value) {
             const auto devices = wholeNumber(value, 1);
             if (!devices || *devices > kMostDevices)
                 return false;
             options.devices = *devices;
             return true;
         }},
    };
    return kOptions;
}

const std::map<std::string, FlagOption>& flagOptions()
{
    static const std::map<std::string, FlagOption> kOptions = {
        {"--chunked", [](SimOptions& options) { options.server.chunked = true; }},
        {"--verbose", [](SimOptions& options) { options.server.verbose = true; }},
        {"--help", [](SimOptions& options) { options.help = true; }},
    };
    return kOptions;
}

} // namespace

std::optional<SimOptions> parseSimOptions(const std::vector<std::string>& arguments, std::string& error)
{
    SimOptions options;
    // Takes the value of the option at `index`, moving past it.
    const auto valueAt = [&](std::size_t& index) -> const std::string* {
        if (index + 1 == arguments.size()) {
            error = arguments[index] + " needs a value";
            return nullptr;
        }
        return &arguments[++index];
    };
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string& name = arguments[index];
        if (const auto flag = flagOptions().find(name); flag != flagOptions().end()) {
            flag->second(options);
            continue;
        }
        if (name == "--for") {
            const std::string* number = valueAt(index);
            if (!number)
                return std::nullopt;
            const auto device = wholeNumber(*number, 1);
            if (!device) {
                error = "bad value for --for: " + *number;
                return std::nullopt;
            }
            if (index + 1 == arguments.size() || !faultOptions().contains(arguments[index + 1])) {
                error = "--for " + *number + " needs a fault option after it";
                return std::nullopt;
            }
            const std::string& fault = arguments[++index];
            const std::string* value = valueAt(index);
            if (!value)
                return std::nullopt;
            DeviceFaults tried;
            if (!faultOptions().at(fault)(tried, *value)) {
                error = "bad value for " + fault + ": " + *value;
                return std::nullopt;
            }
            options.deviceFaultOptions[*device].emplace_back(fault, *value);
            continue;
        }
        const auto fault = faultOptions().find(name);
        const auto option = valueOptions().find(name);
        if (fault == faultOptions().end() && option == valueOptions().end()) {
            error = "unknown option " + name;
            return std::nullopt;
        }
        const std::string* value = valueAt(index);
        if (!value)
            return std::nullopt;
        const bool taken
            = fault != faultOptions().end() ? fault->second(options.faults, *value) : option->second(options, *value);
        if (!taken) {
            error = "bad value for " + name + ": " + *value;
            return std::nullopt;
        }
    }
    if (options.help)
        return options;
    if (options.tcpAddress.has_value() == options.ptyLink.has_value()) {
        error = "give either --tcp or --pty";
        return std::nullopt;
    }
    if (options.devices && options.ptyLink) {
        error = "--devices needs --tcp";
        return std::nullopt;
    }
    const int devices = options.devices.value_or(1);
    if (!options.deviceFaultOptions.empty() && options.deviceFaultOptions.rbegin()->first > devices) {
        error = "--for " + std::to_string(options.deviceFaultOptions.rbegin()->first) + ": there "
            + (devices == 1 ? "is 1 device" : "are " + std::to_string(devices) + " devices");
        return std::nullopt;
    }
    if (options.devices && options.tcpPort > 0 && options.tcpPort + devices - 1 > 65535) {
        error = "--devices " + std::to_string(devices) + " from port " + std::to_string(options.tcpPort)
            + " go beyond port 65535";
        return std::nullopt;
    }
    // Several devices keep their images side by side in a folder.
    if (options.devices)
        options.server.saveFolder = std::exchange(options.server.saveFile, {});
    return options;
}

DeviceFaults faultsOfDevice(const SimOptions& options, int number)
{
    DeviceFaults faults = options.faults;
    if (const auto own = options.deviceFaultOptions.find(number); own != options.deviceFaultOptions.end())
        for (const auto& [name, value] : own->second)
            faultOptions().at(name)(faults, value);
    return faults;
}

std::string simUsage()
{
    return R"(Usage: telvor-sim (--tcp [ADDRESS:]PORT [--devices N] | --pty LINK) [options]

A virtual Telvor device. It answers "OK" CR to every command and write line,
"OK" CR, its version text and CR to "VER?", and the KEY=value lines of its
settings, closed by "OK" CR, to "SET?", "SMS?", "APN?", "EAD?", "XCFG?" and
"ECFG?", leaving out the keys its version does not have. Write lines are
stored in its settings image. It serves one connection at a time, any number
in sequence, until SIGINT or SIGTERM.

Transport (one of):
  --tcp [ADDRESS:]PORT  listen on ADDRESS (default 127.0.0.1) and PORT; 0 takes
                        a free port. The first line printed is
                        "listening on ADDRESS:PORT".
  --pty LINK            open a pseudo-terminal and make LINK a symbolic link to
                        its slave side; the first line printed is
                        "pty LINK -> /dev/pts/N". The link is removed at the end.
  --devices N           with --tcp: N independent devices, device K (from 1)
                        on PORT + K - 1, or each on a free port of its own
                        when PORT is 0; one line "listening on ADDRESS:PORT"
                        each, in the order of K.
  --baud RATE           behave like a serial line of RATE baud (9600 for a
                        device): every byte sent takes 10 bit times, and a line
                        received is acted on only once its bytes would have
                        arrived at that speed.

State:
  --image FILE.tvr      settings image to start from (default all zero); a
                        shorter file fills the start of a zeroed image.
  --version-text TEXT   version text reported to "VER?" (default v3.6E); it
                        also decides which keys the device has.
  --save FILE.tvr       write the settings image after every connection.
  --save DIR            with --devices: after every connection DIR/PORT.tvr
                        holds the image of the device on PORT, and as each
                        connection begins DIR/PORT.connections the number of
                        connections the device has accepted (a decimal number
                        and a newline). Each device starts from --image.

Faults (a line hit by a fault is not acted on):
  --silent PREFIX       never answer lines beginning with PREFIX (repeatable).
  --reply-error PREFIX  answer "ERROR" CR to lines beginning with PREFIX
                        (repeatable).
  --fault-at N:KIND     at the N-th line received on a connection (from 1),
                        whatever its text: close (the connection; on a
                        pseudo-terminal the device stays mute until the port is
                        closed), silent, error ("ERROR" CR) or garbage (bytes
                        that are no reply). Repeatable.
  --drop-after N        close the connection once N lines were answered.
  --corrupt KEY:N       report a wrong value for KEY (as it stands before "=" in
                        an answer: PIN, NUM3, ICFGx, SMS4, RCFG) in its first N
                        query answers, counted over the whole run.
  --omit KEY            leave KEY out of every answer (repeatable).
  --report KEY=VALUE    report VALUE for KEY instead of the stored value
                        (repeatable).
  --chunked             send every reply in pieces of 1 to 3 bytes with pauses
                        of 1 to 5 ms; the version reply is cut only within its
                        "OK", its CR and text go in one piece.
  --latency MS          wait MS milliseconds before each reply.
  --for K FAULT VALUE   with --devices: the fault option FAULT (--silent,
                        --reply-error, --fault-at, --drop-after, --corrupt,
                        --omit or --report) for device K only, on top of the
                        faults of every device. Repeatable:
                        --for 3 --silent VER? --for 7 --fault-at 40:close

Other:
  --verbose             print every line received and every reply to standard
                        error.
  --help                print this text.
)";
}

} // namespace telvor
