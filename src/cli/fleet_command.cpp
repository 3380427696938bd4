#include "fleet_command.h"

#include "console.h"
#include "exit_status.h"
#include "fleet_display.h"

#include "fleet/fleet_plan.h"
#include "fleet/fleet_run.h"
#include "frontend/connection_settings.h"
#include "history/history_store.h"
#include "link/open_file_limit.h"

#include <csignal>
#include <filesystem>

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace telvor {

namespace {

// The exit status of a program ended by Ctrl-C.
constexpr int kExitInterrupted = 128 + SIGINT;

// How often the status line's time moves on.
constexpr Milliseconds kDisplayTick{1000};

// Each job holds a connection and, while it is made, a lookup's descriptor;
// the history, the receipts and the standard streams need a few more.
constexpr std::size_t kFilesPerJob = 3;
constexpr std::size_t kSpareFiles = 64;

void printDryRun(const CheckedPlan& plan)
{
    for (const PlannedDevice& device : plan.devices)
        printLine(device.target + (device.name.empty() ? "" : " " + device.name) + ": "
                  + std::to_string(device.differingSettings) + " settings differ from the template");
    printLine("plan checked: " + std::to_string(plan.devices.size()) + " devices");
}

// SIGINT read from a descriptor instead of ending the program: blocked in
// this thread before the workers start, so that they inherit the block, and
// let through again at the end.
class InterruptWatch {
public:
    InterruptWatch()
    {
        sigset_t interrupt;
        sigemptyset(&interrupt);
        sigaddset(&interrupt, SIGINT);
        ::pthread_sigmask(SIG_BLOCK, &interrupt, &m_previous);
        m_descriptor = ::signalfd(-1, &interrupt, SFD_CLOEXEC | SFD_NONBLOCK);
    }
    ~InterruptWatch()
    {
        takeInterrupts();
        if (m_descriptor >= 0)
            ::close(m_descriptor);
        ::pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
    }
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    int descriptor() const { return m_descriptor; }
    // How many have come since the last call.
    int takeInterrupts()
    {
        int count = 0;
        signalfd_siginfo information{};
        while (m_descriptor >= 0 && ::read(m_descriptor, &information, sizeof information) == sizeof information)
            ++count;
        return count;
    }

private:
    sigset_t m_previous{};
    int m_descriptor = -1;
};

FleetSettings fleetSettings(const Invocation& invocation)
{
    const ConnectionSettings saved = loadConnectionSettings();
    FleetSettings settings;
    settings.jobs = invocation.jobs;
    settings.retries = invocation.retries;
    settings.backup = !invocation.noBackup;
    settings.resume = invocation.resume;
    settings.service = {invocation.service.resetCounters, invocation.service.eraseLog, invocation.service.setClock,
                        invocation.service.resetDevice};
    settings.serialDeviceFormat = saved.serialDeviceFormat;
    settings.strictSerialTiming = saved.strictSerialTiming;
    return settings;
}

// Runs until every device has its receipt; true when Ctrl-C came.
bool runUntilDone(FleetRun& run, FleetDisplay& display, InterruptWatch& interrupts)
{
    int interrupted = 0;
    while (!run.waitUntilDone(interrupts.descriptor(), kDisplayTick)) {
        const int before = interrupted;
        interrupted += interrupts.takeInterrupts();
        if (before == 0 && interrupted >= 1) {
            display.message("stopping: no more devices are started; Ctrl-C again ends those under way");
            run.stopStarting();
        }
        if (before < 2 && interrupted >= 2) {
            display.message("ending the devices under way");
            run.stopAtOnce();
        }
        display.tick(run.tally());
    }
    return interrupted + interrupts.takeInterrupts() > 0;
}

} // namespace

std::string defaultReceiptsFile(const std::string& plan)
{
    return std::filesystem::path(plan).replace_extension(".receipts.jsonl").string();
}

int runFleet(const Invocation& invocation)
{
    const std::string& planFile = invocation.operands.at(0);
    FleetSettings settings = fleetSettings(invocation);
    const CheckedPlan plan = checkPlan(planFile, settings.serialDeviceFormat);
    for (const std::string& error : plan.errors)
        printError(error);
    if (!plan.errors.empty())
        return kExitUsage;
    if (invocation.dryRun) {
        printDryRun(plan);
        return kExitSuccess;
    }
    OpenedHistory history = openHistory(invocation.historyFile);
    if (!history.store) {
        printError("the history cannot be used: " + history.unavailable
                   + "; a fleet records every device's operations there");
        return kExitUsage;
    }
    ReceiptFile receipts;
    if (const auto failure = receipts.open(invocation.receiptsFile.value_or(defaultReceiptsFile(planFile)))) {
        printError("receipts: " + *failure);
        return kExitUsage;
    }
    if (!allowOpenFiles(kFilesPerJob * static_cast<std::size_t>(settings.jobs) + kSpareFiles)) {
        printError("--jobs " + std::to_string(settings.jobs) + " needs more open files than this process may have");
        return kExitUsage;
    }
    FleetDisplay display(standardErrorColumns());
    InterruptWatch interrupts;
    FleetRun run(plan.devices, settings, *history.store, receipts, display);
    if (const auto failure = run.start()) {
        printError(*failure);
        return kExitUsage;
    }
    const bool interrupted = runUntilDone(run, display, interrupts);
    const FleetTally tally = run.tally();
    display.finish(tally);
    if (const std::string failure = run.receiptFailure(); !failure.empty()) {
        printError("receipts missing: " + failure);
        return interrupted ? kExitInterrupted : kExitFailure;
    }
    if (interrupted)
        return kExitInterrupted;
    return tally.written + tally.skipped == tally.devices ? kExitSuccess : kExitFailure;
}

} // namespace telvor
