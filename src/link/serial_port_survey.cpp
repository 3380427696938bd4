#include "link/serial_port_survey.h"

#include "link/device_link.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <future>
#include <map>
#include <unistd.h>

namespace telvor {

namespace {

int accessError(const std::string& node)
{
    return ::faccessat(AT_FDCWD, node.c_str(), R_OK | W_OK, AT_EACCESS) == 0 ? 0 : errno;
}

ProbeAnswer probe(const std::string& node, const Timing& timing)
{
    DeviceLink link;
    link.endpoint = SerialPortPath{node};
    link.timing = timing;
    ProbeAnswer answer;
    if (link.open() != OpenResult::Opened) {
        answer.outcome = ProbeAnswer::Outcome::NotOpened;
        answer.detail = link.openFailureDetail();
        return answer;
    }
    if (link.sendCommand("VER?") == CommandResult::Acknowledged) {
        answer.outcome = ProbeAnswer::Outcome::Answered;
        // The CR that ends the version comes as a blank.
        answer.version = link.reply();
        answer.version.erase(answer.version.find_last_not_of(' ') + 1);
    }
    link.close();
    return answer;
}

} // namespace

std::vector<SurveyedPort> surveySerialPorts(const std::string& format, const SystemPaths& paths)
{
    std::vector<SurveyedPort> ports;
    for (SerialDevice& device : listSerialDevices(paths)) {
        SurveyedPort port;
        const std::string node = nodePath(device);
        port.info = serialDeviceInfo(std::filesystem::path(node).filename().string(), paths.ttyClassRoot);
        port.numbering = portNumbering(format, device);
        port.accessError = accessError(node);
        port.device = std::move(device);
        ports.push_back(std::move(port));
    }
    return ports;
}

std::vector<ProbeAnswer> probeSerialPorts(const std::vector<SurveyedPort>& ports, const Timing& timing)
{
    // A by-id link and its node are one device, asked once: a second open
    // of a port the first holds would only find it busy.
    std::map<std::string, std::future<ProbeAnswer>> asked;
    for (const SurveyedPort& port : ports) {
        const std::string& node = nodePath(port.device);
        if (port.accessError == 0 && !asked.contains(node))
            asked.emplace(node, std::async(std::launch::async, probe, node, timing));
    }
    std::map<std::string, ProbeAnswer> answers;
    for (auto& [node, answer] : asked)
        answers.emplace(node, answer.get());

    std::vector<ProbeAnswer> result;
    for (const SurveyedPort& port : ports) {
        const auto found = answers.find(nodePath(port.device));
        result.push_back(found != answers.end() ? found->second : ProbeAnswer{ProbeAnswer::Outcome::NotAsked, {}, {}});
    }
    return result;
}

} // namespace telvor
