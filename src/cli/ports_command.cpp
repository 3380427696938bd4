#include "ports_command.h"

#include "console.h"
#include "exit_status.h"
#include "json_output.h"

#include "frontend/connection_settings.h"
#include "link/serial_open_failure.h"
#include "link/serial_port_survey.h"

#include <cstring>
#include <optional>

namespace telvor {
namespace {

// Continuation lines of a multi-line text, under the entry they belong to.
std::string indented(std::string text, const std::string& indent)
{
    while (text.ends_with('\n'))
        text.pop_back();
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
        text.insert(at + 1, indent);
    return text;
}

std::string portText(const PortNumbering& numbering)
{
    if (numbering.number)
        return std::to_string(*numbering.number);
    if (numbering.otherFormat.empty())
        return "-";
    return "- (with the format " + numbering.otherFormat + " it is port " + std::to_string(numbering.otherNumber) + ")";
}

std::string accessText(int error)
{
    if (error == 0)
        return "may be opened";
    return indented("may not be opened: " + std::string(std::strerror(error)) + ".\n" + serialOpenRemedy(error),
                    "    ");
}

std::optional<std::string> probeText(const ProbeAnswer& answer)
{
    switch (answer.outcome) {
    case ProbeAnswer::Outcome::Answered:
        return terminalText(answer.version);
    case ProbeAnswer::Outcome::NoAnswer:
        return "no answer";
    case ProbeAnswer::Outcome::NotOpened:
        return indented("not asked: " + answer.detail, "    ");
    case ProbeAnswer::Outcome::NotAsked:
        break;
    }
    return std::nullopt;
}

void printPorts(const std::string& format, const std::vector<SurveyedPort>& ports,
                const std::vector<ProbeAnswer>& answers)
{
    printLine("Serial device format: " + format);
    if (ports.empty()) {
        printLine(kNoSerialDevicesText);
        return;
    }
    for (std::size_t index = 0; index < ports.size(); ++index) {
        const SurveyedPort& port = ports[index];
        printLine("");
        printLine(port.device.path + (port.device.target.empty() ? "" : " -> " + port.device.target));
        printLine("  kind: " + describeSerialDevice(port.info));
        printLine("  port: " + portText(port.numbering));
        printLine("  access: " + accessText(port.accessError));
        if (index < answers.size())
            if (const std::optional<std::string> text = probeText(answers[index]))
                printLine("  device: " + *text);
    }
}

nlohmann::json textOrNull(const std::string& text)
{
    return text.empty() ? nlohmann::json() : nlohmann::json(text);
}

nlohmann::json probeJson(const ProbeAnswer& answer)
{
    static constexpr const char* kResults[] = {"answered", "no-answer", "not-opened", "not-asked"};
    return {{"result", kResults[static_cast<int>(answer.outcome)]},
            {"device_version",
             answer.outcome == ProbeAnswer::Outcome::Answered ? nlohmann::json(utf8Text(answer.version))
                                                              : nlohmann::json()},
            {"detail", textOrNull(answer.detail)}};
}

nlohmann::json portJson(const SurveyedPort& port)
{
    const SerialDeviceInfo& info = port.info;
    nlohmann::json usb;
    if (!info.vendorId.empty())
        usb = {{"vendor_id", info.vendorId},
               {"product_id", info.productId},
               {"manufacturer", textOrNull(info.manufacturer)},
               {"product", textOrNull(info.product)}};
    const PortNumbering& numbering = port.numbering;
    return {
        {"path", port.device.path},
        {"target", textOrNull(port.device.target)},
        {"kind", kindName(info.kind)},
        {"description", describeSerialDevice(info)},
        {"driver", textOrNull(info.driver)},
        {"usb", usb},
        {"port", numbering.number ? nlohmann::json(*numbering.number) : nlohmann::json()},
        {"suggested_format", textOrNull(numbering.otherFormat)},
        {"suggested_port", numbering.otherFormat.empty() ? nlohmann::json() : nlohmann::json(numbering.otherNumber)},
        {"may_open", port.accessError == 0},
        {"reason", port.accessError == 0 ? nlohmann::json() : nlohmann::json(std::strerror(port.accessError))},
        {"remedy", textOrNull(port.accessError == 0 ? std::string() : serialOpenRemedy(port.accessError))}};
}

void printPortsJson(const std::string& format, const std::vector<SurveyedPort>& ports,
                    const std::vector<ProbeAnswer>& answers)
{
    nlohmann::json list = nlohmann::json::array();
    for (std::size_t index = 0; index < ports.size(); ++index) {
        nlohmann::json entry = portJson(ports[index]);
        if (index < answers.size())
            entry["probe"] = probeJson(answers[index]);
        list.push_back(std::move(entry));
    }
    printJson({{"serial_device_format", format}, {"ports", list}});
}

} // namespace

int runPorts(const Invocation& invocation)
{
    // The format the window and --com count by, as the link applies it.
    const std::string saved = loadConnectionSettings().serialDeviceFormat;
    const std::string format = isValidSerialDeviceFormat(saved) ? saved : kDefaultSerialDeviceFormat;
    if (format != saved)
        printError("the serial device format " + saved + " is unusable (it needs exactly one %d), so " + format
                   + " is used");
    const std::vector<SurveyedPort> ports = surveySerialPorts(format);
    const std::vector<ProbeAnswer> answers = invocation.probe ? probeSerialPorts(ports) : std::vector<ProbeAnswer>();
    if (invocation.json)
        printPortsJson(format, ports, answers);
    else
        printPorts(format, ports, answers);
    return kExitSuccess;
}

} // namespace telvor
