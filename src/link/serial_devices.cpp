#include "link/serial_devices.h"

#include "link/serial_device_path.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <tuple>

namespace telvor {

namespace {

namespace fs = std::filesystem;

// In the order a person looks for a device cable: USB adapters, USB modems,
// on-board ports.
constexpr std::array<std::string_view, 3> kNodePrefixes = {"ttyUSB", "ttyACM", "ttyS"};

bool hasNoUart(const std::string& ttyClassRoot, const std::string& name)
{
    std::ifstream typeFile(ttyClassRoot + "/" + name + "/type");
    std::string type;
    return typeFile >> type && type == "0";
}

// The prefix of the node name, if it is one of kNodePrefixes followed by a
// number only.
std::optional<std::size_t> prefixIndex(const std::string& name)
{
    for (std::size_t index = 0; index < kNodePrefixes.size(); ++index) {
        const std::string_view prefix = kNodePrefixes[index];
        if (name.size() > prefix.size() && name.starts_with(prefix)
            && name.find_first_not_of("0123456789", prefix.size()) == std::string::npos)
            return index;
    }
    return std::nullopt;
}

std::vector<SerialDevice> nodesUnder(const std::string& deviceRoot, const std::string& ttyClassRoot)
{
    // The kind, then the number as a person counts: ttyS2 before ttyS10.
    std::vector<std::tuple<std::size_t, std::size_t, std::string, std::string>> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(deviceRoot, error)) {
        const std::string name = entry.path().filename().string();
        const std::optional<std::size_t> kind = prefixIndex(name);
        if (!kind || (kNodePrefixes[*kind] == "ttyS" && hasNoUart(ttyClassRoot, name)))
            continue;
        found.emplace_back(*kind, name.size(), name, entry.path().string());
    }
    std::sort(found.begin(), found.end());
    std::vector<SerialDevice> nodes;
    for (const auto& node : found)
        nodes.push_back({std::get<3>(node), {}});
    return nodes;
}

// One step only: a by-id link names a node of the same folder tree, which
// is the device the port number is counted for (in tests the node itself is
// a link to a pseudo-terminal).
std::string linkTarget(const fs::path& link)
{
    std::error_code error;
    const fs::path target = fs::read_symlink(link, error);
    if (error)
        return {};
    return (target.is_absolute() ? target : link.parent_path() / target).lexically_normal().string();
}

std::vector<SerialDevice> linksById(const std::string& deviceRoot)
{
    std::vector<SerialDevice> links;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(deviceRoot + "/serial/by-id", error))
        links.push_back({entry.path().string(), linkTarget(entry.path())});
    std::sort(links.begin(), links.end(),
              [](const SerialDevice& left, const SerialDevice& right) { return left.path < right.path; });
    return links;
}

} // namespace

std::vector<SerialDevice> listSerialDevices(const std::string& deviceRoot, const std::string& ttyClassRoot)
{
    std::vector<SerialDevice> devices = linksById(deviceRoot);
    const std::vector<SerialDevice> nodes = nodesUnder(deviceRoot, ttyClassRoot);
    devices.insert(devices.end(), nodes.begin(), nodes.end());
    return devices;
}

std::vector<SerialDevice> listSerialDevices(const SystemPaths& paths)
{
    return listSerialDevices(paths.deviceRoot, paths.ttyClassRoot);
}

PortNumbering portNumbering(const std::string& format, const SerialDevice& device)
{
    PortNumbering numbering;
    numbering.number = serialPortNumberOf(format, device.path);
    if (!numbering.number && !device.target.empty())
        numbering.number = serialPortNumberOf(format, device.target);
    if (numbering.number)
        return numbering;
    // "/dev/ttyUSB0" is port 1 under the format "/dev/ttyUSB%d".
    const std::string& node = nodePath(device);
    const std::size_t digitsStart = node.find_last_not_of("0123456789") + 1;
    if (digitsStart == node.size() || node.find('%') != std::string::npos)
        return numbering;
    const std::string candidate = node.substr(0, digitsStart) + "%d";
    if (const std::optional<int> number = serialPortNumberOf(candidate, node)) {
        numbering.otherFormat = candidate;
        numbering.otherNumber = *number;
    }
    return numbering;
}

} // namespace telvor
