#include "device_commands.h"

#include "console.h"
#include "console_surface.h"
#include "device_connection.h"
#include "exit_status.h"
#include "json_output.h"
#include "settings_operand.h"
#include "traffic_trace.h"

#include "image/settings_file.h"
#include "link/device_link.h"
#include "operations/device_operations.h"

#include <cstdio>

namespace telvor {

namespace {

void printTraceLine(std::string_view line)
{
    const std::string text = terminalText(line);
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fputc('\n', stderr);
}

enum class Operation { Version, Read, Write };

// What the window's status and version boxes would show at the end, in
// Windows-1250.
struct OperationOutcome {
    bool done = false;
    std::string status;
    std::string version;
};

OperationOutcome runOperation(const Invocation& invocation, Operation operation, SettingsImage& working)
{
    ConsoleSurface surface(invocation);
    DeviceLink link;
    connectLink(invocation.connection, invocation.strictSerial, link);
    TrafficTrace trace(printTraceLine);
    if (invocation.trace) {
        link.onTraffic = [&trace](DeviceLink::Direction direction, std::string_view bytes) {
            if (direction == DeviceLink::Direction::Sent)
                trace.sent(bytes);
            else
                trace.received(bytes);
        };
    }
    surface.watch(link);

    SettingsImage verification;
    FirmwareVersion firmware;
    DeviceOperations operations(working, verification, firmware, link, surface);
    OperationOutcome outcome;
    switch (operation) {
    case Operation::Version:
        outcome.done = operations.checkDeviceVersion();
        break;
    case Operation::Read:
        outcome.done = operations.readFromDevice();
        break;
    case Operation::Write:
        outcome.done = operations.writeToDevice();
        break;
    }
    outcome.status = statusLines(surface.statusText());
    outcome.version = surface.versionText();
    return outcome;
}

nlohmann::json firmwareJson(const std::string& versionText)
{
    const FirmwareVersion firmware = decodeVersion(versionText);
    if (firmware.versionNumber == 0)
        return nullptr;
    return {{"major", firmware.versionNumber / 16},
            {"minor", firmware.versionNumber % 16},
            {"extended", firmware.extended != 0}};
}

} // namespace

int runVersion(const Invocation& invocation)
{
    SettingsImage working;
    const OperationOutcome outcome = runOperation(invocation, Operation::Version, working);
    if (invocation.json) {
        printJson({{"device_version", utf8Text(outcome.version)},
                   {"firmware", firmwareJson(outcome.version)},
                   {"status", utf8Text(outcome.status)},
                   {"succeeded", outcome.done}});
    } else {
        printLine("Device version: " + terminalText(outcome.version));
        printLine(terminalText(outcome.status));
    }
    return outcome.done ? kExitSuccess : kExitFailure;
}

int runRead(const Invocation& invocation)
{
    SettingsImage working;
    if (invocation.baseFile && !readSettingsOperand(*invocation.baseFile, working))
        return kExitUsage;
    const OperationOutcome outcome = runOperation(invocation, Operation::Read, working);
    printLine(terminalText(outcome.status));
    if (!outcome.done)
        return kExitFailure;
    const std::string& output = invocation.operands.at(0);
    const SettingsFileResult saved = writeSettingsFile(output, working);
    if (!saved.ok) {
        printError(saved.status + " " + output + ": " + saved.reason);
        return kExitUsage;
    }
    return kExitSuccess;
}

int runWrite(const Invocation& invocation)
{
    SettingsImage working;
    if (!readSettingsOperand(invocation.operands.at(0), working))
        return kExitUsage;
    const OperationOutcome outcome = runOperation(invocation, Operation::Write, working);
    printLine(terminalText(outcome.status));
    return outcome.done ? kExitSuccess : kExitFailure;
}

} // namespace telvor
