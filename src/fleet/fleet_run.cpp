#include "fleet/fleet_run.h"

#include "history/history_store.h"
#include "history/history_time.h"
#include "history/image_digest.h"
#include "history/recorded_operations.h"
#include "link/device_link.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>

namespace telvor {

namespace {

// The window as far as one device of the fleet needs it: the service
// options chosen for all, the version and the message boxes kept. The
// status text comes from the recorded result, as the history keeps it.
class DeviceSurface final : public StatusSurface {
public:
    explicit DeviceSurface(const ServiceOptions& service) { m_controls.service = service; }

    ControlValues takeControlValues() override { return m_controls; }
    void setStatusText(std::string_view) override {}
    void appendStatusText(std::string_view) override {}
    void setVersionText(std::string_view text) override { m_version = text; }
    void setProgressRange(int, int) override {}
    void setProgressPosition(int) override {}
    void showMessage(std::string_view text, std::string_view detail) override
    {
        m_messages.push_back({std::string(text), std::string(detail)});
    }
    void pushValuesToControls() override {}

    const std::string& version() const { return m_version; }
    std::vector<DeviceMessage>& messages() { return m_messages; }

private:
    ControlValues m_controls;
    std::string m_version;
    std::vector<DeviceMessage> m_messages;
};

DeviceOutcome deviceOutcomeOf(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Succeeded:
        return DeviceOutcome::Written;
    case Outcome::Unreachable:
        return DeviceOutcome::Unreachable;
    case Outcome::Interrupted:
        return DeviceOutcome::Interrupted;
    case Outcome::Running:
    case Outcome::Failed:
        break;
    }
    return DeviceOutcome::Failed;
}

// The status a write that never began leaves no trace of in the history.
std::string statusOf(const RecordedResult& result)
{
    if (result.backup == BackupState::NotRecorded)
        return "Nothing was written: the backup could not be recorded: " + result.notRecorded;
    return result.status;
}

void count(FleetTally& tally, DeviceOutcome outcome)
{
    switch (outcome) {
    case DeviceOutcome::Written:
        ++tally.written;
        break;
    case DeviceOutcome::Unreachable:
        ++tally.unreachable;
        break;
    case DeviceOutcome::Failed:
        ++tally.failed;
        break;
    case DeviceOutcome::Skipped:
        ++tally.skipped;
        break;
    case DeviceOutcome::Interrupted:
        ++tally.interrupted;
        break;
    }
}

} // namespace

FleetRun::FleetRun(std::span<const PlannedDevice> devices, const FleetSettings& settings, HistoryStore& history,
                   ReceiptFile& receipts, FleetObserver& observer)
    : m_devices(devices)
    , m_settings(settings)
    , m_history(history)
    , m_receipts(receipts)
    , m_observer(observer)
    , m_progress(devices.size())
    , m_done(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    for (const PlannedDevice& device : devices)
        m_imageDigests.push_back(imageDigest(device.image));
    m_tally.devices = static_cast<int>(devices.size());
}

FleetRun::~FleetRun()
{
    stopAtOnce();
    for (std::thread& worker : m_workers)
        worker.join();
    if (m_done >= 0)
        ::close(m_done);
}

std::optional<std::string> FleetRun::start()
{
    std::vector<std::optional<OperationRecord>> written(m_devices.size());
    if (m_settings.resume) {
        try {
            for (std::size_t index = 0; index < m_devices.size(); ++index) {
                std::optional<OperationRecord> latest = m_history.latestWrite(m_devices[index].target);
                if (latest && latest->outcome == Outcome::Succeeded && latest->images.sent == m_imageDigests[index])
                    written[index] = std::move(latest);
            }
        } catch (const HistoryError& error) {
            return error.what();
        }
    }
    {
        const std::lock_guard lock(m_mutex);
        for (std::size_t index = 0; index < m_devices.size(); ++index)
            if (!written[index])
                m_waiting.push_back(index);
        m_tally.waiting = static_cast<int>(m_waiting.size());
    }
    for (std::size_t index = 0; index < m_devices.size(); ++index)
        if (written[index])
            skipWritten(index, written[index]->id, written[index]->version);
    if (m_devices.empty())
        signalDone();
    const std::size_t workers = std::min(static_cast<std::size_t>(std::max(m_settings.jobs, 1)), m_waiting.size());
    for (std::size_t worker = 0; worker < workers; ++worker)
        m_workers.emplace_back([this] { work(); });
    return std::nullopt;
}

bool FleetRun::waitUntilDone(int descriptor, Milliseconds limit)
{
    std::array<pollfd, 2> watched{{{m_done, POLLIN, 0}, {descriptor, POLLIN, 0}}};
    ::poll(watched.data(), descriptor >= 0 ? 2 : 1, static_cast<int>(limit.count()));
    const std::lock_guard lock(m_mutex);
    return m_receiptsGiven == m_devices.size();
}

void FleetRun::stopStarting()
{
    std::deque<std::size_t> neverStarted;
    std::vector<Progress> progress;
    {
        const std::lock_guard lock(m_mutex);
        if (m_stopStarting)
            return;
        m_stopStarting = true;
        neverStarted.swap(m_waiting);
        m_tally.waiting = 0;
        for (const std::size_t index : neverStarted)
            progress.push_back(m_progress[index]);
    }
    m_wake.notify_all();
    const std::int64_t now = currentTimeMs();
    for (std::size_t slot = 0; slot < neverStarted.size(); ++slot) {
        Progress& left = progress[slot];
        // One waiting for another attempt was unreachable at the last.
        if (left.attempts == 0) {
            left.startedMs = now;
            left.endedMs = now;
            left.outcome = DeviceOutcome::Interrupted;
        }
        giveReceipt(neverStarted[slot], left);
    }
}

void FleetRun::stopAtOnce()
{
    m_linkStop = true;
    stopStarting();
}

FleetTally FleetRun::tally() const
{
    const std::lock_guard lock(m_mutex);
    return m_tally;
}

void FleetRun::work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        // With nothing waiting, a device under way may still come back for
        // another attempt.
        m_wake.wait(lock, [this] { return m_stopStarting || !m_waiting.empty() || m_running == 0; });
        if (m_stopStarting || m_waiting.empty())
            return;
        const std::size_t index = m_waiting.front();
        m_waiting.pop_front();
        ++m_running;
        --m_tally.waiting;
        ++m_tally.running;
        const bool first = m_progress[index].attempts == 0;
        const FleetTally tally = m_tally;
        lock.unlock();
        if (first) {
            const std::lock_guard observing(m_observerMutex);
            m_observer.deviceStarted(m_devices[index], tally);
        }
        attempt(index);
        lock.lock();
    }
}

void FleetRun::attempt(std::size_t index)
{
    const PlannedDevice& device = m_devices[index];
    DeviceLink link;
    link.endpoint = device.endpoint;
    link.timing = m_settings.timing;
    link.serialDeviceFormat = m_settings.serialDeviceFormat;
    link.strictSerialTiming = m_settings.strictSerialTiming;
    link.stopRequest = &m_linkStop;
    DeviceSurface surface(m_settings.service);
    link.onWarning = [&surface](const std::string& warning) { surface.messages().push_back({warning, {}}); };
    SettingsImage working = device.image;
    SettingsImage verification;
    FirmwareVersion firmware;
    const std::int64_t started = currentTimeMs();
    const RecordedResult result = runRecorded(OperationKind::Write, {working, verification, firmware, link, surface},
                                              {&m_history, {}, m_settings.program}, m_settings.backup);
    const std::int64_t ended = currentTimeMs();

    Progress concluded;
    {
        const std::lock_guard lock(m_mutex);
        Progress& progress = m_progress[index];
        if (progress.attempts++ == 0)
            progress.startedMs = started;
        progress.endedMs = ended;
        if (result.entry != 0)
            progress.historyIds.push_back(result.entry);
        progress.version = surface.version();
        progress.status = statusOf(result);
        progress.backupDigest = result.backupDigest;
        progress.outcome = deviceOutcomeOf(result.outcome);
        progress.messages = surface.messages();
        progress.notRecorded = result.notRecorded;
        --m_running;
        --m_tally.running;
        if (progress.outcome == DeviceOutcome::Unreachable && progress.attempts <= m_settings.retries
            && !m_stopStarting) {
            // At the back: a device off the network for a moment has the
            // longest time to come back.
            m_waiting.push_back(index);
            ++m_tally.waiting;
            m_wake.notify_all();
            return;
        }
        concluded = progress;
    }
    giveReceipt(index, concluded);
}

void FleetRun::giveReceipt(std::size_t index, const Progress& progress)
{
    const PlannedDevice& device = m_devices[index];
    FleetTally tally;
    {
        const std::lock_guard lock(m_mutex);
        count(m_tally, progress.outcome);
        tally = m_tally;
    }
    const Receipt receipt{device.target,         device.name,         progress.startedMs, progress.endedMs,
                          progress.outcome,      progress.status,     progress.version,   m_imageDigests[index],
                          progress.backupDigest, progress.historyIds, progress.attempts};
    m_receipts.append(receipt);
    {
        const std::lock_guard observing(m_observerMutex);
        m_observer.deviceEnded({device, receipt, progress.messages, progress.notRecorded, tally});
    }
    const std::lock_guard lock(m_mutex);
    if (++m_receiptsGiven == m_devices.size())
        signalDone();
    m_wake.notify_all();
}

void FleetRun::skipWritten(std::size_t index, std::int64_t entry, const std::string& version)
{
    Progress skipped;
    skipped.startedMs = currentTimeMs();
    skipped.endedMs = skipped.startedMs;
    skipped.outcome = DeviceOutcome::Skipped;
    skipped.status = "Written and verified before: history entry " + std::to_string(entry);
    skipped.version = version;
    skipped.historyIds = {entry};
    giveReceipt(index, skipped);
}

void FleetRun::signalDone()
{
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_done, &one, sizeof one);
}

} // namespace telvor
