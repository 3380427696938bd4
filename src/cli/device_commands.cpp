#include "device_commands.h"

#include "console.h"
#include "console_surface.h"
#include "device_connection.h"
#include "diff_command.h"
#include "exit_status.h"
#include "history_access.h"
#include "json_output.h"
#include "settings_operand.h"
#include "traffic_trace.h"

#include "history/recorded_operations.h"
#include "link/device_link.h"
#include "link/target_text.h"

#include <cstdio>
#include <memory>

namespace telvor {

namespace {

void printTraceLine(std::string_view line)
{
    const std::string text = terminalText(line);
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fputc('\n', stderr);
}

// What a device command needs besides the image it works on: the link
// pointed at the device, the console as status surface, and the history.
class DeviceSession {
public:
    // `store` is the history when the command has opened it already.
    DeviceSession(const Invocation& invocation, std::unique_ptr<HistoryStore> store = nullptr)
        : m_trace(printTraceLine)
        , m_surface(invocation)
        , m_store(std::move(store))
    {
        m_refusal = connectLink(invocation.connection, invocation.strictSerial, m_link);
        if (invocation.trace) {
            m_link.onTraffic = [this](DeviceLink::Direction direction, std::string_view bytes) {
                if (direction == DeviceLink::Direction::Sent)
                    m_trace.sent(bytes);
                else
                    m_trace.received(bytes);
            };
        }
        m_surface.watch(m_link);
        if (!m_store && !invocation.noHistory) {
            OpenedHistory opened = openHistory(invocation.historyFile);
            m_store = std::move(opened.store);
            m_unavailable = opened.unavailable;
        }
    }

    DeviceLink& link() { return m_link; }
    // Why the connection the command line and the saved settings name cannot
    // be used, if it cannot.
    const std::optional<std::string>& refusal() const { return m_refusal; }
    // Points the link at `endpoint` instead of the connection named.
    void pointAt(const Endpoint& endpoint)
    {
        m_link.endpoint = endpoint;
        m_refusal.reset();
    }
    const ConsoleSurface& surface() const { return m_surface; }
    OperationParts parts(SettingsImage& working) { return {working, m_verification, m_firmware, m_link, m_surface}; }
    HistoryRecorder recorder() const { return {m_store.get(), m_unavailable, "telvorctl"}; }

private:
    DeviceLink m_link;
    TrafficTrace m_trace;
    ConsoleSurface m_surface;
    SettingsImage m_verification;
    FirmwareVersion m_firmware;
    std::unique_ptr<HistoryStore> m_store;
    std::string m_unavailable;
    std::optional<std::string> m_refusal;
};

// False, with the reason printed, when the session's connection is refused.
bool connectionUsable(const DeviceSession& session)
{
    if (!session.refusal())
        return true;
    printError(*session.refusal());
    return false;
}

void printStatus(const DeviceSession& session)
{
    printLine(terminalText(statusLines(session.surface().statusText())));
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

void printVersionJson(const ConsoleSurface& surface, bool done)
{
    printJson({{"device_version", utf8Text(surface.versionText())},
               {"firmware", firmwareJson(surface.versionText())},
               {"status", utf8Text(statusLines(surface.statusText()))},
               {"succeeded", done}});
}

void noteHistory(const RecordedResult& result)
{
    if (!result.notRecorded.empty())
        printNote("history not recorded: " + result.notRecorded);
}

// A write that did not start because its backup was not kept.
bool reportedBackupFailure(const RecordedResult& result, const DeviceSession& session)
{
    if (result.backup == BackupState::NotRead) {
        printStatus(session);
        printError("nothing was written: the backup read failed");
    } else if (result.backup == BackupState::NotRecorded) {
        printError("nothing was written: the backup could not be recorded: " + result.notRecorded);
    } else {
        return false;
    }
    printNote("--no-backup writes without reading a backup first");
    return true;
}

// Runs the operation on `working` and prints its summary: the version line
// for `version`, then the status text, then what the history missed.
int runOperation(const Invocation& invocation, OperationKind kind, SettingsImage& working, DeviceSession& session)
{
    if (!connectionUsable(session))
        return kExitUsage;
    const bool writes = kind == OperationKind::Write || kind == OperationKind::Restore;
    if (writes && invocation.noHistory && !invocation.noBackup)
        printNote("no backup is read before the write: --no-history keeps none");
    const bool backupFirst = writes && !invocation.noHistory && !invocation.noBackup;
    const RecordedResult result = runRecorded(kind, session.parts(working), session.recorder(), backupFirst);
    if (reportedBackupFailure(result, session))
        return kExitFailure;
    if (kind == OperationKind::Version && invocation.json) {
        printVersionJson(session.surface(), result.done);
    } else {
        if (kind == OperationKind::Version)
            printLine("Device version: " + terminalText(session.surface().versionText()));
        printStatus(session);
    }
    noteHistory(result);
    return result.done ? kExitSuccess : kExitFailure;
}

int runOperation(const Invocation& invocation, OperationKind kind, SettingsImage& working)
{
    DeviceSession session(invocation);
    return runOperation(invocation, kind, working, session);
}

} // namespace

int runVersion(const Invocation& invocation)
{
    SettingsImage working;
    return runOperation(invocation, OperationKind::Version, working);
}

int runRead(const Invocation& invocation)
{
    SettingsImage working;
    if (invocation.baseFile && !readSettingsOperand(*invocation.baseFile, working))
        return kExitUsage;
    const int status = runOperation(invocation, OperationKind::Read, working);
    if (status != kExitSuccess)
        return status;
    return writeSettingsOperand(invocation.operands.at(0), working) ? kExitSuccess : kExitUsage;
}

int runWrite(const Invocation& invocation)
{
    SettingsImage working;
    if (!readSettingsOperand(invocation.operands.at(0), working))
        return kExitUsage;
    return runOperation(invocation, OperationKind::Write, working);
}

int runCheck(const Invocation& invocation)
{
    SettingsImage file;
    if (!readSettingsOperand(invocation.operands.at(0), file))
        return kExitUsage;
    DeviceSession session(invocation);
    if (!connectionUsable(session))
        return kExitUsage;
    SettingsImage device;
    const RecordedCheck check = checkRecorded(session.parts(device), file, session.recorder());
    if (!check.deviceRead) {
        printStatus(session);
        noteHistory(check.result);
        return kExitUnreadable;
    }
    for (const Slot& element : check.differences)
        printLine(differenceLine(element, file, device));
    noteHistory(check.result);
    return check.differences.empty() ? kExitSuccess : kExitFailure;
}

int runRestore(const Invocation& invocation)
{
    std::optional<NamedOperation> named = namedOperation(invocation);
    if (!named)
        return kExitUsage;
    std::optional<SettingsImage> image
        = recordedImage(*named->store, named->operation, invocation.image, ImageChoice::Backup);
    if (!image)
        return kExitUsage;
    const std::string target = named->operation.target;
    DeviceSession session(invocation, std::move(named->store));
    if (invocation.connection.transport == ConnectionChoice::Transport::Saved) {
        const std::optional<Endpoint> recorded = endpointOfTarget(target, session.link().serialDeviceFormat);
        if (!recorded) {
            printError("operation " + invocation.operands.at(0) + " has no target to write to (\"" + target
                       + "\"); name the connection");
            return kExitUsage;
        }
        session.pointAt(*recorded);
    }
    return runOperation(invocation, OperationKind::Restore, *image, session);
}

} // namespace telvor
