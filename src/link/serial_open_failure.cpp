#include "link/serial_open_failure.h"

#include "link/serial_device_path.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <tuple>

namespace telvor {

namespace {

namespace fs = std::filesystem;

constexpr const char* kNodePrefixes[] = {"ttyUSB", "ttyACM", "ttyS"};

bool hasNoUart(const std::string& ttyClassRoot, const std::string& name)
{
    std::ifstream typeFile(ttyClassRoot + "/" + name + "/type");
    std::string type;
    return typeFile >> type && type == "0";
}

// Device nodes sort as a person counts them: ttyS2 before ttyS10.
std::tuple<std::string, std::size_t, std::string> sortKey(const std::string& path)
{
    const auto digitsStart = path.find_last_not_of("0123456789") + 1;
    return {path.substr(0, digitsStart), path.size() - digitsStart, path.substr(digitsStart)};
}

std::vector<SerialDevice> nodesUnder(const std::string& deviceRoot, const std::string& ttyClassRoot)
{
    std::vector<SerialDevice> nodes;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(deviceRoot, error)) {
        const std::string name = entry.path().filename().string();
        for (const char* prefix : kNodePrefixes) {
            const std::string_view prefixText(prefix);
            if (name.size() <= prefixText.size() || !name.starts_with(prefixText)
                || name.find_first_not_of("0123456789", prefixText.size()) != std::string::npos)
                continue;
            if (prefixText == "ttyS" && hasNoUart(ttyClassRoot, name))
                continue;
            nodes.push_back({entry.path().string(), {}});
        }
    }
    std::sort(nodes.begin(), nodes.end(), [](const SerialDevice& left, const SerialDevice& right) {
        return sortKey(left.path) < sortKey(right.path);
    });
    return nodes;
}

std::vector<SerialDevice> linksById(const std::string& deviceRoot)
{
    std::vector<SerialDevice> links;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(deviceRoot + "/serial/by-id", error)) {
        std::error_code resolveError;
        const fs::path target = fs::canonical(entry.path(), resolveError);
        links.push_back({entry.path().string(), resolveError ? std::string() : target.string()});
    }
    std::sort(links.begin(), links.end(),
              [](const SerialDevice& left, const SerialDevice& right) { return left.path < right.path; });
    return links;
}

// "/dev/ttyUSB0" can be reached as port 1 with the format "/dev/ttyUSB%d".
std::string formatSuggestion(const std::string& path)
{
    const auto digitsStart = path.find_last_not_of("0123456789") + 1;
    if (digitsStart == path.size() || path.find('%') != std::string::npos)
        return {};
    const std::string digits = path.substr(digitsStart);
    if (digits.size() > 3 || (digits.size() > 1 && digits.front() == '0'))
        return {};
    const int portNumber = std::stoi(digits) + 1;
    if (portNumber > kHighestSerialPortNumber)
        return {};
    return "with the format " + path.substr(0, digitsStart) + "%d it is port " + std::to_string(portNumber);
}

std::string describeDevice(const SerialDevice& device, const std::string& format)
{
    std::string line = "  " + device.path;
    if (!device.target.empty())
        line += " -> " + device.target;
    auto portNumber = serialPortNumberOf(format, device.path);
    if (!portNumber && !device.target.empty())
        portNumber = serialPortNumberOf(format, device.target);
    if (portNumber)
        return line + ": port " + std::to_string(*portNumber) + "\n";
    const std::string suggestion = formatSuggestion(device.target.empty() ? device.path : device.target);
    line += ": no port number under the format " + format;
    if (!suggestion.empty())
        line += " (" + suggestion + ")";
    return line + "\n";
}

std::string existingDevices(const std::string& format, const std::vector<SerialDevice>& devices)
{
    if (devices.empty())
        return "No serial devices were found (/dev/serial/by-id, /dev/ttyUSB*, /dev/ttyACM*, /dev/ttyS*).\n";
    std::string text = "Serial devices on this computer:\n";
    for (const SerialDevice& device : devices)
        text += describeDevice(device, format);
    return text;
}

} // namespace

std::vector<SerialDevice> listSerialDevices(const std::string& deviceRoot, const std::string& ttyClassRoot)
{
    std::vector<SerialDevice> devices = linksById(deviceRoot);
    const std::vector<SerialDevice> nodes = nodesUnder(deviceRoot, ttyClassRoot);
    devices.insert(devices.end(), nodes.begin(), nodes.end());
    return devices;
}

std::string serialOpenFailureDetail(const std::string& devicePath, int error, const std::string& format,
                                    const std::vector<SerialDevice>& devices)
{
    const bool formatUsable = isValidSerialDeviceFormat(format);
    const std::string usedFormat = formatUsable ? format : kDefaultSerialDeviceFormat;
    std::string detail = "Cannot open " + devicePath + ": " + std::strerror(error) + ".\n";
    if (!formatUsable)
        detail += "The serial device format " + format + " is unusable (it needs exactly one %d), so " + usedFormat
            + " was used.\n";
    switch (error) {
    case EACCES:
    case EPERM:
        return detail
            + "The user may not use serial ports: add the user to the dialout group with\n"
              "  sudo usermod -aG dialout $USER\n"
              "then log out and log in again.\n";
    case EBUSY:
        return detail + "Another program holds the port; close it and try again.\n";
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
        return detail + existingDevices(usedFormat, devices);
    default:
        return detail;
    }
}

std::string serialPortNumberDetail(int portNumber)
{
    return "Port " + std::to_string(portNumber) + " names no serial device: ports are numbered from 1 to "
        + std::to_string(kHighestSerialPortNumber) + ".\n";
}

} // namespace telvor
