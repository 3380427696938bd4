// A fleet run: the devices of a checked plan written side by side, each as
// `telvorctl write` writes one (backup, write, verification, service
// commands, recorded in the history as operations of its own), up to `jobs`
// at once, each with a receipt as it ends.
//
// Threads: start() starts min(jobs, devices) workers; each takes the next
// device, runs it on a link and a status surface of its own and writes its
// receipt, and sleeps on a condition variable while no device waits. The
// caller's thread stays free: it waits in waitUntilDone() (on a descriptor
// of its own besides, such as a signal's) and may stop the run from there.
// The observer is called from the workers, one call at a time.
#pragma once

#include "fleet/fleet_plan.h"
#include "fleet/fleet_receipt.h"

#include "link/timing.h"
#include "operations/status_surface.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace telvor {

class HistoryStore;

struct FleetSettings {
    // Devices at once.
    int jobs = 8;
    // Attempts after the first for a device that was unreachable; never for
    // one whose write or verification failed.
    int retries = 1;
    // Read each device's settings into the history before writing it.
    bool backup = true;
    // Skip a device whose newest write in the history gave it this image
    // and was verified.
    bool resume = false;
    ServiceOptions service;
    Timing timing;
    std::string serialDeviceFormat;
    bool strictSerialTiming = false;
    // The program the history names.
    std::string program = "telvorctl";
};

struct FleetTally {
    int devices = 0;
    int written = 0;
    int unreachable = 0;
    int failed = 0;
    int skipped = 0;
    int interrupted = 0;
    int running = 0;
    // Not yet started, or waiting for another attempt.
    int waiting = 0;
};

// A message box the operations showed: its text in the device's
// Windows-1250, the detail below it in UTF-8.
struct DeviceMessage {
    std::string text;
    std::string detail;
};

// What happened to one device, for a display.
struct DeviceReport {
    const PlannedDevice& device;
    const Receipt& receipt;
    std::vector<DeviceMessage> messages;
    // Why the history misses part of the device's operations, if it does.
    std::string notRecorded;
    // The run's counts with this device among them.
    FleetTally tally;
};

class FleetObserver {
public:
    virtual ~FleetObserver() = default;
    virtual void deviceStarted(const PlannedDevice&, const FleetTally&) {}
    virtual void deviceEnded(const DeviceReport&) {}
};

class FleetRun {
public:
    // Everything given outlives the run.
    FleetRun(std::span<const PlannedDevice> devices, const FleetSettings& settings, HistoryStore& history,
             ReceiptFile& receipts, FleetObserver& observer);
    // Stops what still runs at once and waits for it.
    ~FleetRun();
    FleetRun(const FleetRun&) = delete;
    FleetRun& operator=(const FleetRun&) = delete;

    // With resume, first gives every device that the history shows written
    // its receipt; then starts the workers. The reason, and nothing started,
    // when the history cannot be asked.
    std::optional<std::string> start();
    // Waits until every device has its receipt (true), or until `descriptor`
    // (when not -1) becomes readable or `limit` has passed (false).
    bool waitUntilDone(int descriptor, Milliseconds limit);
    // No device starts any more: those under way finish, every other one is
    // given its receipt at once.
    void stopStarting();
    // Also ends the devices under way at once: their links are closed and
    // they end interrupted.
    void stopAtOnce();

    FleetTally tally() const;
    // Why receipts are missing from the file; empty when none are.
    std::string receiptFailure() const { return m_receipts.failure(); }

private:
    // A device's attempts so far.
    struct Progress {
        int attempts = 0;
        std::int64_t startedMs = 0;
        std::int64_t endedMs = 0;
        std::vector<std::int64_t> historyIds;
        std::string version;
        std::string status;
        std::string backupDigest;
        DeviceOutcome outcome = DeviceOutcome::Interrupted;
        std::vector<DeviceMessage> messages;
        std::string notRecorded;
    };

    void work();
    void attempt(std::size_t index);
    void conclude(std::size_t index, DeviceOutcome outcome);
    void giveReceipt(std::size_t index, const Progress& progress);
    void skipWritten(std::size_t index, std::int64_t entry, const std::string& version);
    void signalDone();

    std::span<const PlannedDevice> m_devices;
    const FleetSettings& m_settings;
    HistoryStore& m_history;
    ReceiptFile& m_receipts;
    FleetObserver& m_observer;
    std::vector<std::string> m_imageDigests;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::size_t> m_waiting;
    std::vector<Progress> m_progress;
    bool m_stopStarting = false;
    int m_running = 0;
    std::size_t m_receiptsGiven = 0;
    FleetTally m_tally;
    std::mutex m_observerMutex;
    std::atomic<bool> m_linkStop = false;
    int m_done = -1; // readable once every device has its receipt
    std::vector<std::thread> m_workers;
};

} // namespace telvor
