// Fleet runs against virtual devices in this process, with the time limits
// cut down: every device written and verified or reported, a receipt for
// each that agrees with the history, runs stopped half-way and resumed.
#include "fleet/fleet_run.h"
#include "fleet_test_support.h"
#include "support/closed_loopback_port.h"
#include "support/row_name.h"

#include "document/factory_defaults.h"
#include "document/settings_document.h"
#include "history/history_store.h"
#include "image/settings_file.h"
#include "link/serial_device_path.h"
#include "sim/sim_server.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <sys/eventfd.h>
#include <unistd.h>

#include <map>
#include <memory>
#include <sstream>
#include <thread>

namespace telvor {
namespace {

using namespace std::chrono_literals;
using Json = nlohmann::json;

// No setting differs: a device keeps the bytes a write carries nothing for
// (the rest of a longer text that a shorter one replaced).
const std::vector<std::string> kNone;

// Counts what ends, and makes a descriptor readable once `stopAfter`
// devices have ended, for the waiting thread to stop the run as Ctrl-C
// would.
class CountingObserver final : public FleetObserver {
public:
    explicit CountingObserver(int stopAfter = 0)
        : m_stopAfter(stopAfter)
        , m_signal(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
    {
    }
    ~CountingObserver() override { ::close(m_signal); }

    void deviceStarted(const PlannedDevice&, const FleetTally&) override { ++started; }
    void deviceEnded(const DeviceReport& report) override
    {
        ++ended;
        endedTargets.push_back(report.receipt.target);
        if (m_stopAfter > 0 && ended == m_stopAfter) {
            const std::uint64_t one = 1;
            EXPECT_EQ(::write(m_signal, &one, sizeof one), static_cast<ssize_t>(sizeof one));
        }
    }
    int signal() const { return m_signal; }

    int started = 0;
    int ended = 0;
    std::vector<std::string> endedTargets;

private:
    int m_stopAfter;
    int m_signal;
};

// The values a row gives its device.
std::string rowOf(int port, int number)
{
    return "tcp:127.0.0.1:" + std::to_string(port) + ",template.tvr,pump " + std::to_string(number) + ",+486001"
        + std::to_string(1000 + number) + "," + std::to_string(number) + ",\"Alarm, pump " + std::to_string(number)
        + "\"\n";
}

class FleetRunTest : public test_support::FleetFolderTest {
protected:
    void SetUp() override
    {
        FleetFolderTest::SetUp();
        ASSERT_TRUE(writeSettingsFile(path("template.tvr"), factoryDefaults()).ok);
        m_store = std::make_unique<HistoryStore>(path("history.sqlite3"));
        m_settings.timing = Timing{}.scaledDown(10);
        m_settings.program = "test";
    }
    void TearDown() override
    {
        if (m_server)
            m_server->stop();
        FleetFolderTest::TearDown();
    }

    // `count` devices holding the template, device K (from 1) with
    // `faults[K]`, so that a device written holds the template with its
    // row's values; and a plan naming each, with values of its own.
    void startDevices(int count, const std::map<int, DeviceFaults>& faults = {})
    {
        std::vector<VirtualDevice> devices;
        for (int number = 1; number <= count; ++number)
            devices.emplace_back(factoryDefaults(), "v3.6E",
                                 faults.contains(number) ? faults.at(number) : DeviceFaults{});
        m_server = std::make_unique<SimServer>(std::move(devices));
        ASSERT_TRUE(m_server->start());
        std::string plan = "target,template,name,basic.num_1,internet.uid,messages.L1\n";
        for (int number = 1; number <= count; ++number)
            plan += rowOf(m_server->port(static_cast<std::size_t>(number - 1)), number);
        writeFile("plan.csv", plan);
        m_plan = checkPlan(path("plan.csv"), kDefaultSerialDeviceFormat);
        ASSERT_EQ(m_plan.errors, std::vector<std::string>{});
    }

    // Runs the plan to its end; with `stopAfter`, stops starting devices once
    // that many have ended, and with `atOnce` ends those under way too.
    void runPlan(CountingObserver& observer, bool atOnce = false)
    {
        ReceiptFile receipts;
        ASSERT_EQ(receipts.open(path("plan.receipts.jsonl")), std::nullopt);
        FleetRun run(m_plan.devices, m_settings, *m_store, receipts, observer);
        ASSERT_EQ(run.start(), std::nullopt);
        const auto limit = std::chrono::steady_clock::now() + 60s;
        bool stopped = false;
        while (!run.waitUntilDone(observer.signal(), 100ms) && std::chrono::steady_clock::now() < limit) {
            std::uint64_t count = 0;
            if (!stopped && ::read(observer.signal(), &count, sizeof count) == sizeof count) {
                stopped = true;
                if (atOnce)
                    run.stopAtOnce();
                else
                    run.stopStarting();
            }
        }
        ASSERT_TRUE(run.waitUntilDone(-1, 0ms));
        EXPECT_EQ(run.receiptFailure(), "");
        const FleetTally tally = run.tally();
        EXPECT_EQ(tally.running, 0);
        EXPECT_EQ(tally.waiting, 0);
        EXPECT_EQ(tally.written + tally.skipped + tally.failed + tally.unreachable + tally.interrupted, tally.devices);
    }

    // The receipts of the file from line `from` (0 the first), by target.
    std::map<std::string, Json> receiptsByTarget(std::size_t from = 0) const
    {
        std::map<std::string, Json> receipts;
        std::istringstream lines(contentOf("plan.receipts.jsonl"));
        std::string line;
        for (std::size_t index = 0; std::getline(lines, line); ++index) {
            if (index < from)
                continue;
            const Json receipt = Json::parse(line);
            EXPECT_TRUE(receipts.emplace(receipt["target"].get<std::string>(), receipt).second)
                << "two receipts for " << receipt["target"];
        }
        return receipts;
    }

    std::size_t receiptLineCount() const
    {
        const std::string content = contentOf("plan.receipts.jsonl");
        return static_cast<std::size_t>(std::count(content.begin(), content.end(), '\n'));
    }

    const PlannedDevice& device(int number) const { return m_plan.devices.at(static_cast<std::size_t>(number - 1)); }
    int connections(int number) const { return m_server->connectionCount(static_cast<std::size_t>(number - 1)); }
    SettingsImage deviceImage(int number) const { return m_server->image(static_cast<std::size_t>(number - 1)); }

    // Every operation a receipt names is in the history as the receipt
    // tells it; the history holds no operation of the device besides.
    void expectHistoryAgrees(const Json& receipt, const PlannedDevice& planned) const
    {
        static const std::map<std::string, Outcome> kRecorded = {{"written", Outcome::Succeeded},
                                                                 {"failed", Outcome::Failed},
                                                                 {"unreachable", Outcome::Unreachable},
                                                                 {"interrupted", Outcome::Interrupted}};
        const std::string outcome = receipt["outcome"];
        const std::vector<std::int64_t> ids = receipt["history_ids"];
        EXPECT_EQ(ids.size(), receipt["attempts"].get<std::size_t>()) << planned.target;
        std::vector<std::int64_t> recorded;
        for (const OperationRecord& record : m_store->operations(planned.target))
            recorded.insert(recorded.begin(), record.id);
        EXPECT_EQ(recorded, ids) << planned.target;
        for (const std::int64_t id : ids) {
            const std::optional<OperationRecord> record = m_store->operation(id);
            ASSERT_TRUE(record) << planned.target;
            EXPECT_EQ(record->operation, "write");
            EXPECT_EQ(record->program, "test");
            EXPECT_EQ(record->images.sent, receipt["image_sha256"]);
            EXPECT_TRUE(record->endedMs);
            if (id == ids.back()) {
                EXPECT_EQ(record->outcome, kRecorded.at(outcome)) << planned.target;
                EXPECT_EQ(receipt["backup_sha256"].is_null() ? "" : receipt["backup_sha256"].get<std::string>(),
                          record->images.backup);
            }
        }
    }

    FleetSettings m_settings;
    std::unique_ptr<HistoryStore> m_store;
    std::unique_ptr<SimServer> m_server;
    CheckedPlan m_plan;
};

DeviceFaults silentAt(const std::string& prefix)
{
    DeviceFaults faults;
    faults.silentPrefixes = {prefix};
    return faults;
}

DeviceFaults faultAtLine(int line, LineFault fault)
{
    DeviceFaults faults;
    faults.faultsAt[line] = fault;
    return faults;
}

DeviceFaults corrupting(const std::string& key)
{
    DeviceFaults faults;
    faults.corruptAnswers[key] = 1000;
    return faults;
}

TEST_F(FleetRunTest, TwentyDevicesThreeFaultyEveryOneWithItsReceiptAndAResumeTouchingNoneWritten)
{
    // 3 never answers the version check, 7 closes mid-write, 9 reports a
    // message text wrong at every verification.
    startDevices(20, {{3, silentAt("VER?")}, {7, faultAtLine(40, LineFault::Close)}, {9, corrupting("SMS1")}});
    CountingObserver observer;
    runPlan(observer);
    const std::map<std::string, Json> receipts = receiptsByTarget();
    ASSERT_EQ(receipts.size(), 20u);
    EXPECT_EQ(observer.started, 20);
    EXPECT_EQ(observer.ended, 20);
    EXPECT_EQ(m_store->operations().size(), 21u);
    for (int number = 1; number <= 20; ++number) {
        const PlannedDevice& planned = device(number);
        const Json& receipt = receipts.at(planned.target);
        const std::string expected = number == 3 ? "unreachable" : number == 7 || number == 9 ? "failed" : "written";
        EXPECT_EQ(receipt["outcome"], expected) << number;
        EXPECT_EQ(receipt["name"], "pump " + std::to_string(number));
        EXPECT_EQ(receipt["attempts"], number == 3 ? 2 : 1) << number;
        EXPECT_EQ(receipt["version"], number == 3 ? Json(nullptr) : Json("v3.6E")) << number;
        EXPECT_EQ(receipt["backup_sha256"].is_null(), number == 3) << number;
        EXPECT_LE(receipt["started"].get<std::string>(), receipt["ended"].get<std::string>());
        expectHistoryAgrees(receipt, planned);
        if (expected == "written") {
            EXPECT_EQ(differingSettings(deviceImage(number), planned.image), kNone) << number;
            EXPECT_EQ(receipt["status"], "Configuration transferred to device,\nverification successful.");
        }
        EXPECT_EQ(connections(number), number == 3 ? 2 : 1) << number;
    }
    EXPECT_EQ(receipts.at(device(9).target)["status"], "Configuration transferred to device,\nwverification failed!");

    m_settings.resume = true;
    CountingObserver resumed;
    runPlan(resumed);
    const std::map<std::string, Json> again = receiptsByTarget(20);
    ASSERT_EQ(again.size(), 20u);
    for (int number = 1; number <= 20; ++number) {
        const Json& receipt = again.at(device(number).target);
        const bool faulty = number == 3 || number == 7 || number == 9;
        EXPECT_EQ(receipt["outcome"], faulty ? (number == 3 ? "unreachable" : "failed") : "skipped") << number;
        EXPECT_EQ(connections(number), faulty ? (number == 3 ? 4 : 2) : 1) << number;
        if (!faulty) {
            EXPECT_EQ(receipt["history_ids"], receipts.at(device(number).target)["history_ids"]);
            EXPECT_EQ(receipt["attempts"], 0);
            EXPECT_EQ(receipt["status"],
                      "Written and verified before: history entry "
                          + std::to_string(receipt["history_ids"][0].get<int>()));
        }
    }
    EXPECT_EQ(resumed.started, 3);
}

TEST_F(FleetRunTest, StoppedStartingHalfWayEveryDeviceHasItsReceiptAndAResumeFinishesTheRest)
{
    m_settings.jobs = 4;
    startDevices(50);
    CountingObserver observer(10);
    runPlan(observer);
    const std::map<std::string, Json> receipts = receiptsByTarget();
    ASSERT_EQ(receipts.size(), 50u);
    std::set<int> written;
    for (int number = 1; number <= 50; ++number) {
        const Json& receipt = receipts.at(device(number).target);
        expectHistoryAgrees(receipt, device(number));
        if (receipt["outcome"] == "written") {
            written.insert(number);
            EXPECT_EQ(differingSettings(deviceImage(number), device(number).image), kNone) << number;
            continue;
        }
        EXPECT_EQ(receipt["outcome"], "interrupted") << number;
        EXPECT_EQ(receipt["attempts"], 0) << number;
        EXPECT_EQ(receipt["status"], "");
        EXPECT_EQ(connections(number), 0) << number;
    }
    // Those under way when the stop came finished.
    EXPECT_GE(written.size(), 10u);
    EXPECT_LT(written.size(), 50u);

    m_settings.resume = true;
    CountingObserver resumed;
    runPlan(resumed);
    const std::map<std::string, Json> again = receiptsByTarget(50);
    ASSERT_EQ(again.size(), 50u);
    for (int number = 1; number <= 50; ++number) {
        EXPECT_EQ(again.at(device(number).target)["outcome"], written.contains(number) ? "skipped" : "written");
        EXPECT_EQ(connections(number), 1) << number;
        EXPECT_EQ(differingSettings(deviceImage(number), device(number).image), kNone) << number;
    }
}

TEST_F(FleetRunTest, StoppedAtOnceDevicesUnderWayEndInterruptedLongBeforeTheirLimits)
{
    // Each of the first four falls silent mid-write, where the link would
    // wait for its reply a whole minute.
    m_settings.jobs = 4;
    m_settings.timing.tcpCommand = 60s;
    std::map<int, DeviceFaults> faults;
    for (int number = 1; number <= 4; ++number)
        faults[number] = faultAtLine(30, LineFault::Silent);
    startDevices(8, faults);
    ReceiptFile receipts;
    ASSERT_EQ(receipts.open(path("plan.receipts.jsonl")), std::nullopt);
    CountingObserver observer;
    FleetRun run(m_plan.devices, m_settings, *m_store, receipts, observer);
    ASSERT_EQ(run.start(), std::nullopt);
    const auto silent = [this] {
        for (std::size_t device = 0; device < 4; ++device)
            if (m_server->receivedLines(device).size() < 30)
                return false;
        return true;
    };
    for (const auto limit = std::chrono::steady_clock::now() + 20s;
         !silent() && std::chrono::steady_clock::now() < limit;)
        std::this_thread::sleep_for(5ms);
    ASSERT_TRUE(silent());
    const auto stopped = std::chrono::steady_clock::now();
    run.stopAtOnce();
    ASSERT_TRUE(run.waitUntilDone(-1, 20s));
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, m_settings.timing.tcpCommand / 2);
    const std::map<std::string, Json> given = receiptsByTarget();
    ASSERT_EQ(given.size(), 8u);
    for (int number = 1; number <= 8; ++number) {
        const Json& receipt = given.at(device(number).target);
        EXPECT_EQ(receipt["outcome"], "interrupted") << number;
        EXPECT_EQ(receipt["attempts"], number <= 4 ? 1 : 0) << number;
        expectHistoryAgrees(receipt, device(number));
        if (number <= 4) {
            EXPECT_TRUE(receipt["status"].get<std::string>().ends_with("\nInterrupted at the user's request"))
                << receipt["status"];
            EXPECT_FALSE(receipt["backup_sha256"].is_null());
        }
        EXPECT_EQ(connections(number), number <= 4 ? 1 : 0) << number;
    }
}

struct RetryRow {
    const char* name;
    int retries;
    int refusedAttempts;
};

class FleetRetries : public FleetRunTest, public testing::WithParamInterface<RetryRow> {};

TEST_P(FleetRetries, AreForUnreachableDevicesOnly)
{
    m_settings.retries = GetParam().retries;
    startDevices(1, {{1, corrupting("SMS1")}});
    const int refused = test_support::closedLoopbackPort();
    writeFile("plan.csv",
              "target,template\ntcp:127.0.0.1:" + std::to_string(m_server->port()) + ",template.tvr\n"
                  + "tcp:127.0.0.1:" + std::to_string(refused) + ",template.tvr\n");
    m_plan = checkPlan(path("plan.csv"), kDefaultSerialDeviceFormat);
    ASSERT_EQ(m_plan.errors, std::vector<std::string>{});
    CountingObserver observer;
    runPlan(observer);
    const std::map<std::string, Json> receipts = receiptsByTarget();
    const Json& failed = receipts.at(m_plan.devices[0].target);
    EXPECT_EQ(failed["outcome"], "failed");
    EXPECT_EQ(failed["attempts"], 1);
    const Json& unreachable = receipts.at(m_plan.devices[1].target);
    EXPECT_EQ(unreachable["outcome"], "unreachable");
    EXPECT_EQ(unreachable["attempts"], GetParam().refusedAttempts);
    EXPECT_EQ(unreachable["status"], "LAN connection (TCP/IP) cannot be established!");
    for (std::size_t index = 0; index < 2; ++index)
        expectHistoryAgrees(receipts.at(m_plan.devices[index].target), m_plan.devices[index]);
    EXPECT_EQ(connections(1), 1);
}

INSTANTIATE_TEST_SUITE_P(Rows, FleetRetries,
                         testing::Values(RetryRow{"None", 0, 1}, RetryRow{"OneByDefault", 1, 2},
                                         RetryRow{"Three", 3, 4}),
                         test_support::RowName());

TEST_F(FleetRunTest, WithoutBackupAndWithServiceOptionsAsWriteGivesThem)
{
    m_settings.backup = false;
    m_settings.service.setClock = true;
    m_settings.service.resetCounters = true;
    startDevices(2);
    CountingObserver observer;
    runPlan(observer);
    for (const auto& [target, receipt] : receiptsByTarget()) {
        EXPECT_EQ(receipt["outcome"], "written");
        EXPECT_TRUE(receipt["backup_sha256"].is_null());
        const std::optional<OperationRecord> record = m_store->operation(receipt["history_ids"][0]);
        ASSERT_TRUE(record);
        EXPECT_EQ(record->images.backup, "");
        EXPECT_EQ(record->options, "reset-counters,set-clock");
    }
    const std::vector<std::string> lines = m_server->receivedLines(0);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "RCNT!"), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "SET?"), 1);
}

TEST_F(FleetRunTest, ReceiptsTheDiskRefusesAreNamedAndTheRunGoesOn)
{
    startDevices(2);
    ReceiptFile receipts;
    ASSERT_EQ(receipts.open("/dev/full"), std::nullopt);
    CountingObserver observer;
    FleetRun run(m_plan.devices, m_settings, *m_store, receipts, observer);
    ASSERT_EQ(run.start(), std::nullopt);
    ASSERT_TRUE(run.waitUntilDone(-1, 30s));
    EXPECT_EQ(run.receiptFailure(), "/dev/full: No space left on device");
    EXPECT_EQ(run.tally().written, 2);
}

TEST_F(FleetRunTest, PlanOfNoDeviceIsDoneAtOnce)
{
    writeFile("plan.csv", "target,template\n");
    m_plan = checkPlan(path("plan.csv"), kDefaultSerialDeviceFormat);
    CountingObserver observer;
    runPlan(observer);
    EXPECT_EQ(contentOf("plan.receipts.jsonl"), "");
}

} // namespace
} // namespace telvor
