#include "device_commands.h"

#include "console.h"
#include "console_surface.h"
#include "device_connection.h"
#include "exit_status.h"
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

ControlValues controlValues(const Invocation& invocation)
{
    ControlValues controls;
    controls.service.resetCounters = invocation.service.resetCounters;
    controls.service.eraseLog = invocation.service.eraseLog;
    controls.service.setClock = invocation.service.setClock;
    controls.service.resetDevice = invocation.service.resetDevice;
    return controls;
}

enum class Operation { Version, Read, Write };

// Runs one operation on `working` and prints its summary: the version line
// for `version`, then the status text. Gives the exit status.
int runOperation(const Invocation& invocation, Operation operation, SettingsImage& working)
{
    DeviceLink link;
    if (const std::optional<std::string> refusal = connectLink(invocation.connection, invocation.strictSerial, link)) {
        printError(*refusal);
        return kExitUsage;
    }
    TrafficTrace trace(printTraceLine);
    if (invocation.trace) {
        link.onTraffic = [&trace](DeviceLink::Direction direction, std::string_view bytes) {
            if (direction == DeviceLink::Direction::Sent)
                trace.sent(bytes);
            else
                trace.received(bytes);
        };
    }
    link.onWarning = [](const std::string& warning) { printError(terminalText(warning)); };

    ConsoleSurface surface(controlValues(invocation));
    SettingsImage verification;
    FirmwareVersion firmware;
    DeviceOperations operations(working, verification, firmware, link, surface);
    bool done = false;
    switch (operation) {
    case Operation::Version:
        done = operations.checkDeviceVersion();
        printLine("Device version: " + terminalText(surface.versionText()));
        break;
    case Operation::Read:
        done = operations.readFromDevice();
        break;
    case Operation::Write:
        done = operations.writeToDevice();
        break;
    }
    printLine(terminalText(statusLines(surface.statusText())));
    return done ? kExitSuccess : kExitFailure;
}

} // namespace

int runVersion(const Invocation& invocation)
{
    SettingsImage working;
    return runOperation(invocation, Operation::Version, working);
}

int runRead(const Invocation& invocation)
{
    SettingsImage working;
    if (invocation.baseFile && !readSettingsOperand(*invocation.baseFile, working))
        return kExitUsage;
    if (const int status = runOperation(invocation, Operation::Read, working); status != kExitSuccess)
        return status;
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
    return runOperation(invocation, Operation::Write, working);
}

} // namespace telvor
