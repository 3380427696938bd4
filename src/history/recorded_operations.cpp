#include "history/recorded_operations.h"

#include "link/device_link.h"
#include "link/target_text.h"
#include "operations/device_comparison.h"
#include "operations/device_operations.h"

#include <array>
#include <optional>
#include <stdexcept>
#include <utility>

namespace telvor {

namespace {

// The service options of a write by telvorctl's names, in the order the
// commands run.
std::string serviceOptionsText(const ServiceOptions& service)
{
    const std::array<std::pair<bool, std::string_view>, 4> options{{
        {service.resetCounters, "reset-counters"},
        {service.eraseLog, "erase-log"},
        {service.setClock, "set-clock"},
        {service.resetDevice, "reset-device"},
    }};
    std::string text;
    for (const auto& [ticked, name] : options)
        if (ticked)
            text += (text.empty() ? "" : ",") + std::string(name);
    return text;
}

// Passes everything on to the caller's surface and keeps what the history
// records: the texts and how far the operation got.
class WitnessSurface final : public StatusSurface {
public:
    WitnessSurface(StatusSurface& shown, ControlValues controls)
        : m_shown(shown)
        , m_controls(controls)
    {
    }

    // The values were taken before the operation began.
    ControlValues takeControlValues() override { return m_controls; }
    void setStatusText(std::string_view text) override
    {
        m_status = text;
        m_shown.setStatusText(text);
    }
    void appendStatusText(std::string_view text) override
    {
        m_status += text;
        m_shown.appendStatusText(text);
    }
    void setVersionText(std::string_view text) override
    {
        m_version = text;
        m_shown.setVersionText(text);
    }
    void setProgressRange(int minimum, int maximum) override { m_shown.setProgressRange(minimum, maximum); }
    void setProgressPosition(int position) override { m_shown.setProgressPosition(position); }
    void setStep(OperationStep step) override
    {
        m_step = step;
        m_shown.setStep(step);
    }
    void showMessage(std::string_view text, std::string_view detail) override { m_shown.showMessage(text, detail); }
    void pushValuesToControls() override { m_shown.pushValuesToControls(); }

    const ControlValues& controls() const { return m_controls; }
    const std::string& status() const { return m_status; }
    const std::string& version() const { return m_version; }
    // The device answered the version check: a failure after it is the
    // device's, not the connection's.
    bool deviceReached() const { return m_step && *m_step != OperationStep::CheckingVersion; }

private:
    StatusSurface& m_shown;
    ControlValues m_controls;
    std::string m_status;
    std::string m_version;
    std::optional<OperationStep> m_step;
};

// Counts the bytes on the link, passing them on to the hook that was there,
// which is put back at the end.
class TrafficCount {
public:
    explicit TrafficCount(DeviceLink& link)
        : m_link(link)
        , m_previous(link.onTraffic)
    {
        link.onTraffic = [this](DeviceLink::Direction direction, std::string_view bytes) {
            (direction == DeviceLink::Direction::Sent ? m_sent : m_received) += static_cast<std::int64_t>(bytes.size());
            if (m_previous)
                m_previous(direction, bytes);
        };
    }
    ~TrafficCount() { m_link.onTraffic = std::move(m_previous); }
    TrafficCount(const TrafficCount&) = delete;
    TrafficCount& operator=(const TrafficCount&) = delete;

    std::int64_t sent() const { return m_sent; }
    std::int64_t received() const { return m_received; }

private:
    DeviceLink& m_link;
    std::function<void(DeviceLink::Direction, std::string_view)> m_previous;
    std::int64_t m_sent = 0;
    std::int64_t m_received = 0;
};

constexpr std::string_view kInterruptedVerdict = "Interrupted at the user's request";

// One operation from its entry in the history to its completion there.
class Recording {
public:
    Recording(OperationKind kind, const OperationParts& parts, const HistoryRecorder& recorder)
        : m_recorder(recorder)
        , m_link(parts.link)
        , m_witness(parts.surface, parts.surface.takeControlValues())
        , m_traffic(parts.link)
        , m_operations(parts.working, parts.verification, parts.firmware, parts.link, m_witness, parts.clock)
    {
        m_result.notRecorded = recorder.unavailable;
        if (!recorder.store)
            return;
        const bool writes = kind == OperationKind::Write || kind == OperationKind::Restore;
        OperationStart start;
        start.program = recorder.program;
        start.kind = kind;
        start.target = targetText(parts.link.endpoint, parts.link.serialDeviceFormat);
        start.options = writes ? serviceOptionsText(m_witness.controls().service) : std::string();
        start.sent = writes ? &parts.working : nullptr;
        try {
            m_result.entry = recorder.store->beginOperation(start);
        } catch (const HistoryError& error) {
            m_result.notRecorded = error.what();
        }
    }

    DeviceOperations& operations() { return m_operations; }
    bool entered() const { return m_result.entry != 0; }

    bool keepBackup(const SettingsImage& backup)
    {
        try {
            m_result.backupDigest = m_recorder.store->recordBackup(m_result.entry, backup);
            m_result.backup = BackupState::Saved;
            return true;
        } catch (const HistoryError& error) {
            m_result.backup = BackupState::NotRecorded;
            m_result.notRecorded = error.what();
            return false;
        }
    }

    void backupNotRead() { m_result.backup = BackupState::NotRead; }

    // A backup that cannot be kept ends a write before it reaches the
    // device. The surface shows empty texts, as after an operation that
    // ended at once.
    RecordedResult refuseWithoutBackup()
    {
        m_witness.setVersionText("");
        m_witness.setStatusText("");
        m_witness.setProgressRange(0, 100);
        m_witness.setProgressPosition(0);
        m_witness.pushValuesToControls();
        m_result.backup = BackupState::NotRecorded;
        if (m_result.notRecorded.empty())
            m_result.notRecorded = "no history to keep the backup in";
        return m_result;
    }

    // `read` is the image read, `verdict` a line that the history adds to
    // the status text.
    RecordedResult complete(bool done, bool deviceHeld, const SettingsImage* read, std::string_view verdict = {})
    {
        m_result.done = done && deviceHeld;
        m_result.outcome = m_result.done        ? Outcome::Succeeded
            : m_link.stopRequested()            ? Outcome::Interrupted
            : done || m_witness.deviceReached() ? Outcome::Failed
                                                : Outcome::Unreachable;
        // What the device said last is not why it stopped.
        if (m_result.outcome == Outcome::Interrupted)
            verdict = kInterruptedVerdict;
        m_result.status = m_witness.status();
        if (!verdict.empty())
            m_result.status += "\r\n" + std::string(verdict);
        if (!entered())
            return m_result;
        OperationEnd end;
        end.outcome = m_result.outcome;
        end.version = m_witness.version();
        end.status = m_result.status;
        end.bytesSent = m_traffic.sent();
        end.bytesReceived = m_traffic.received();
        end.read = done ? read : nullptr;
        try {
            m_recorder.store->endOperation(m_result.entry, end);
        } catch (const HistoryError& error) {
            if (m_result.notRecorded.empty())
                m_result.notRecorded = error.what();
        }
        return m_result;
    }

private:
    const HistoryRecorder& m_recorder;
    const DeviceLink& m_link;
    WitnessSurface m_witness;
    TrafficCount m_traffic;
    DeviceOperations m_operations;
    RecordedResult m_result;
};

RecordedResult writeAfterBackup(Recording& recording)
{
    if (!recording.entered())
        return recording.refuseWithoutBackup();
    SettingsImage backup;
    using BackupWrite = DeviceOperations::BackupWrite;
    const BackupWrite written
        = recording.operations().writeAfterBackup(backup, [&] { return recording.keepBackup(backup); });
    if (written == BackupWrite::BackupNotRead)
        recording.backupNotRead();
    return recording.complete(written == BackupWrite::Written, true, nullptr);
}

std::string checkVerdict(std::size_t differences)
{
    if (differences == 0)
        return "Device in step with the file";
    return "Device differs from the file in " + std::to_string(differences) + (differences == 1 ? " field" : " fields");
}

} // namespace

RecordedResult runRecorded(OperationKind kind, const OperationParts& parts, const HistoryRecorder& recorder,
                           bool backupFirst)
{
    if (kind == OperationKind::Check)
        throw std::logic_error("a check needs the file it compares with");
    Recording recording(kind, parts, recorder);
    DeviceOperations& operations = recording.operations();
    switch (kind) {
    case OperationKind::Version:
        return recording.complete(operations.checkDeviceVersion(), true, nullptr);
    case OperationKind::Read:
        return recording.complete(operations.readFromDevice(), true, &parts.working);
    case OperationKind::Write:
    case OperationKind::Restore:
        if (backupFirst)
            return writeAfterBackup(recording);
        return recording.complete(operations.writeToDevice(), true, nullptr);
    case OperationKind::Check:
        break;
    }
    return recording.complete(false, true, nullptr);
}

RecordedCheck checkRecorded(const OperationParts& parts, const SettingsImage& file, const HistoryRecorder& recorder)
{
    Recording recording(OperationKind::Check, parts, recorder);
    RecordedCheck check;
    const bool read = recording.operations().readFromDevice();
    check.deviceRead = read;
    if (read)
        check.differences = verificationDifferences(file, parts.working, parts.firmware);
    check.result = recording.complete(read, check.differences.empty(), &parts.working,
                                      read ? checkVerdict(check.differences.size()) : std::string_view());
    return check;
}

} // namespace telvor
