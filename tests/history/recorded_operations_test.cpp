// The operations as the history records them, against the virtual device in
// this process: what each kind of operation leaves in the history, the
// backup before a write, and a history that fails without stopping the
// operation.
#include "history_test_support.h"

#include "history/image_digest.h"
#include "history/recorded_operations.h"
#include "support/device_images.h"
#include "support/row_name.h"
#include "support/simulated_device.h"

#include <SQLiteCpp/SQLiteCpp.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>

namespace telvor {
namespace {

using testing::HasSubstr;
using testing::IsEmpty;

// The device's surface, with something done when a step is reached.
class SurfaceWithStepHook final : public StatusSurface {
public:
    SurfaceWithStepHook(StatusSurface& surface, std::function<void(OperationStep)> hook)
        : m_surface(surface)
        , m_hook(std::move(hook))
    {
    }
    ControlValues takeControlValues() override { return m_surface.takeControlValues(); }
    void setStatusText(std::string_view text) override { m_surface.setStatusText(text); }
    void appendStatusText(std::string_view text) override { m_surface.appendStatusText(text); }
    void setVersionText(std::string_view text) override { m_surface.setVersionText(text); }
    void setProgressRange(int minimum, int maximum) override { m_surface.setProgressRange(minimum, maximum); }
    void setProgressPosition(int position) override { m_surface.setProgressPosition(position); }
    void setStep(OperationStep step) override
    {
        m_hook(step);
        m_surface.setStep(step);
    }
    void showMessage(std::string_view text, std::string_view detail) override { m_surface.showMessage(text, detail); }
    void pushValuesToControls() override { m_surface.pushValuesToControls(); }

private:
    StatusSurface& m_surface;
    std::function<void(OperationStep)> m_hook;
};

OperationParts partsOf(SimulatedDevice& device, StatusSurface& surface)
{
    return {device.working, device.verification, device.firmware, device.link, surface, fixedLocalTime};
}

OperationParts partsOf(SimulatedDevice& device)
{
    return partsOf(device, device.surface);
}

std::string targetOf(SimulatedDevice& device)
{
    return "tcp:127.0.0.1:" + std::to_string(std::get<TcpEndpoint>(device.link.endpoint).port);
}

DeviceFaults silentAt(std::string prefix)
{
    DeviceFaults faults;
    faults.silentPrefixes = {std::move(prefix)};
    return faults;
}

class RecordedOperations : public test_support::HistoryFolderTest {
protected:
    void SetUp() override
    {
        HistoryFolderTest::SetUp();
        m_store = std::make_unique<HistoryStore>(path("history.sqlite3"));
    }
    HistoryRecorder recorder() const { return {m_store.get(), "", "telvorctl"}; }

    std::unique_ptr<HistoryStore> m_store;
};

TEST_F(RecordedOperations, WriteKeepsItsBackupAndTheImageItSent)
{
    const SettingsImage before = otherImage();
    SimulatedDevice device(before);
    device.working = everyGroupImage();
    device.surface.controls.service.setClock = true;
    device.surface.controls.service.resetCounters = true;
    std::int64_t traced = 0;
    device.link.onTraffic = [&traced](DeviceLink::Direction, std::string_view bytes) {
        traced += static_cast<std::int64_t>(bytes.size());
    };

    const RecordedResult result = runRecorded(OperationKind::Write, partsOf(device), recorder(), true);
    EXPECT_TRUE(result.done);
    EXPECT_EQ(result.outcome, Outcome::Succeeded);
    EXPECT_EQ(result.backup, BackupState::Saved);
    EXPECT_EQ(result.notRecorded, "");
    const std::optional<OperationRecord> record = m_store->operation(result.entry);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->program, "telvorctl");
    EXPECT_EQ(record->operation, "write");
    EXPECT_EQ(record->target, targetOf(device));
    EXPECT_EQ(record->version, "v3.6E");
    EXPECT_EQ(record->options, "reset-counters,set-clock");
    EXPECT_EQ(record->outcome, Outcome::Succeeded);
    EXPECT_EQ(record->status, device.surface.shownStatus);
    EXPECT_EQ(record->images.backup, imageDigest(test_support::readFromDeviceHolding(before)));
    EXPECT_EQ(record->images.sent, imageDigest(everyGroupImage()));
    EXPECT_EQ(record->images.read, "");
    EXPECT_GT(record->bytesSent, 0);
    EXPECT_GT(record->bytesReceived, 0);
    // The caller's own hook saw every byte, and has its place back.
    EXPECT_EQ(record->bytesSent + record->bytesReceived, traced);
    ASSERT_TRUE(device.link.onTraffic);
    EXPECT_EQ(device.surface.controlReads, 1);
    EXPECT_EQ(device.deviceImage().bytes(), everyGroupImage().bytes());
}

struct OutcomeRow {
    const char* name;
    OperationKind kind;
    DeviceFaults faults;
    bool closedPort;
    Outcome outcome;
    bool imageRead;
};

class RecordedOutcome : public RecordedOperations, public testing::WithParamInterface<OutcomeRow> {};

TEST_P(RecordedOutcome, IsTheOperationsEnd)
{
    const OutcomeRow& row = GetParam();
    SimulatedDevice device(everyGroupImage(), "v3.6E", row.faults);
    if (row.closedPort)
        device.link.endpoint = TcpEndpoint{"127.0.0.1", 1};
    device.working = everyGroupImage();
    const RecordedResult result = runRecorded(row.kind, partsOf(device), recorder());
    EXPECT_EQ(result.done, row.outcome == Outcome::Succeeded);
    EXPECT_EQ(result.outcome, row.outcome);
    const std::optional<OperationRecord> record = m_store->operation(result.entry);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->outcome, row.outcome);
    EXPECT_EQ(record->status, device.surface.shownStatus);
    EXPECT_EQ(record->version, device.surface.shownVersion);
    EXPECT_EQ(record->images.read, row.imageRead ? imageDigest(device.working) : "");
    EXPECT_EQ(record->options, "");
    EXPECT_EQ(record->images.sent, row.kind == OperationKind::Write ? imageDigest(everyGroupImage()) : "");
}

DeviceFaults pinReportedWrong()
{
    DeviceFaults faults;
    faults.reportedValues = {{"PIN", "9999"}};
    return faults;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RecordedOutcome,
    testing::Values(
        OutcomeRow{"Version", OperationKind::Version, {}, false, Outcome::Succeeded, false},
        OutcomeRow{"VersionUnanswered", OperationKind::Version, silentAt("VER?"), false, Outcome::Unreachable, false},
        OutcomeRow{"ConnectionRefused", OperationKind::Read, {}, true, Outcome::Unreachable, false},
        OutcomeRow{"OpeningUnanswered", OperationKind::Write, silentAt("HALT!"), false, Outcome::Unreachable, false},
        OutcomeRow{"Read", OperationKind::Read, {}, false, Outcome::Succeeded, true},
        OutcomeRow{"ReadStoppedHalfWay", OperationKind::Read, silentAt("XCFG?"), false, Outcome::Failed, false},
        OutcomeRow{"VerificationFailed", OperationKind::Write, pinReportedWrong(), false, Outcome::Failed, false}),
    test_support::RowName());

TEST_F(RecordedOperations, FailedBackupReadWritesNothing)
{
    SimulatedDevice device(otherImage(), "v3.6E", silentAt("ECFG?"));
    device.working = everyGroupImage();
    const RecordedResult result = runRecorded(OperationKind::Write, partsOf(device), recorder(), true);
    EXPECT_FALSE(result.done);
    EXPECT_EQ(result.backup, BackupState::NotRead);
    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(device.receivedLines().back(), "ECFG?");
    EXPECT_EQ(device.receivedLines().size(), 12u);
    EXPECT_EQ(device.surface.shownStatus, "ECFG settings read error");
    const std::optional<OperationRecord> record = m_store->operation(result.entry);
    EXPECT_EQ(record->outcome, Outcome::Failed);
    EXPECT_EQ(record->images.backup, "");
    EXPECT_EQ(device.deviceImage().bytes(), otherImage().bytes());
}

TEST_F(RecordedOperations, BackupTheHistoryCannotKeepWritesNothing)
{
    SimulatedDevice device(otherImage());
    device.working = everyGroupImage();
    // The operation's entry vanishes while the backup is read.
    SurfaceWithStepHook surface(device.surface, [this](OperationStep step) {
        if (step == OperationStep::ReadingBackup)
            SQLite::Database(path("history.sqlite3"), SQLite::OPEN_READWRITE).exec("DELETE FROM operations");
    });
    const RecordedResult result = runRecorded(OperationKind::Write, partsOf(device, surface), recorder(), true);
    EXPECT_FALSE(result.done);
    EXPECT_EQ(result.backup, BackupState::NotRecorded);
    EXPECT_THAT(result.notRecorded, HasSubstr("no longer in the history"));
    EXPECT_EQ(device.receivedLines().size(), 12u);
    EXPECT_EQ(device.receivedLines().back(), "ECFG?");
    EXPECT_EQ(device.deviceImage().bytes(), otherImage().bytes());
}

TEST_F(RecordedOperations, WriteThatTheLinksStopEndsIsInterruptedAndSaysSo)
{
    SimulatedDevice device(otherImage());
    device.working = everyGroupImage();
    std::atomic<bool> stop = false;
    device.link.stopRequest = &stop;
    SurfaceWithStepHook surface(device.surface, [&stop](OperationStep step) {
        if (step == OperationStep::WritingSettings)
            stop = true;
    });
    const RecordedResult result = runRecorded(OperationKind::Write, partsOf(device, surface), recorder(), true);
    EXPECT_FALSE(result.done);
    EXPECT_EQ(result.outcome, Outcome::Interrupted);
    EXPECT_EQ(result.status, device.surface.shownStatus + "\r\nInterrupted at the user's request");
    const std::optional<OperationRecord> record = m_store->operation(result.entry);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->outcome, Outcome::Interrupted);
    EXPECT_EQ(record->status, result.status);
    EXPECT_TRUE(record->endedMs);
    EXPECT_EQ(record->images.backup, result.backupDigest);
    EXPECT_EQ(result.backupDigest, imageDigest(test_support::readFromDeviceHolding(otherImage())));
    // The write's greeting was the last: its first settings line never went.
    EXPECT_EQ(device.receivedLines().back(), "VER?");
    device.link.stopRequest = nullptr;
}

TEST_F(RecordedOperations, WriteWithoutAHistoryForItsBackupNeverReachesTheDevice)
{
    SimulatedDevice device(otherImage());
    device.working = everyGroupImage();
    device.surface.status = "from before";
    const RecordedResult result
        = runRecorded(OperationKind::Write, partsOf(device), {nullptr, "h.sqlite3: Is a directory", "window"}, true);
    EXPECT_FALSE(result.done);
    EXPECT_EQ(result.entry, 0);
    EXPECT_EQ(result.backup, BackupState::NotRecorded);
    EXPECT_EQ(result.notRecorded, "h.sqlite3: Is a directory");
    EXPECT_THAT(device.receivedLines(), IsEmpty());
    EXPECT_EQ(device.surface.controlReads, 1);
    EXPECT_EQ(device.surface.pushes, 1);
    EXPECT_EQ(device.surface.shownStatus, "");
}

TEST_F(RecordedOperations, OperationGoesOnWhenTheHistoryFailsUnderIt)
{
    SimulatedDevice device(otherImage());
    device.working = everyGroupImage();
    SurfaceWithStepHook surface(device.surface, [this](OperationStep step) {
        if (step == OperationStep::Verifying)
            SQLite::Database(path("history.sqlite3"), SQLite::OPEN_READWRITE).exec("DELETE FROM operations");
    });
    const RecordedResult result = runRecorded(OperationKind::Write, partsOf(device, surface), recorder());
    EXPECT_TRUE(result.done);
    EXPECT_EQ(result.outcome, Outcome::Succeeded);
    EXPECT_EQ(result.notRecorded,
              path("history.sqlite3") + ": operation " + std::to_string(result.entry) + " is no longer in the history");
    EXPECT_EQ(device.deviceImage().bytes(), everyGroupImage().bytes());
}

TEST_F(RecordedOperations, NoHistoryRecordsNothingAndSaysNothing)
{
    SimulatedDevice device(otherImage());
    device.working = everyGroupImage();
    const RecordedResult result = runRecorded(OperationKind::Write, partsOf(device), {nullptr, "", "telvorctl"});
    EXPECT_TRUE(result.done);
    EXPECT_EQ(result.entry, 0);
    EXPECT_EQ(result.notRecorded, "");
    EXPECT_TRUE(m_store->operations().empty());
}

struct CheckRow {
    const char* name;
    DeviceFaults faults;
    bool deviceRead;
    std::vector<std::string> differences;
    Outcome outcome;
    std::string status;
};

class RecordedCheckRows : public RecordedOperations, public testing::WithParamInterface<CheckRow> {};

TEST_P(RecordedCheckRows, ComparesAsTheVerificationDoes)
{
    const CheckRow& row = GetParam();
    SimulatedDevice device(everyGroupImage(), "v3.6E", row.faults);
    const RecordedCheck check = checkRecorded(partsOf(device), everyGroupImage(), recorder());
    EXPECT_EQ(check.deviceRead, row.deviceRead);
    std::vector<std::string> names;
    for (const Slot& element : check.differences)
        names.push_back(element.name());
    EXPECT_EQ(names, row.differences);
    EXPECT_EQ(check.result.outcome, row.outcome);
    EXPECT_EQ(check.result.done, row.outcome == Outcome::Succeeded);
    const std::optional<OperationRecord> record = m_store->operation(check.result.entry);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->operation, "check");
    EXPECT_EQ(record->outcome, row.outcome);
    EXPECT_EQ(record->status, row.status);
    EXPECT_EQ(record->images.read, row.deviceRead ? imageDigest(device.working) : "");
    EXPECT_EQ(record->images.sent, "");
}

DeviceFaults reported(std::map<std::string, std::string, std::less<>> values)
{
    DeviceFaults faults;
    faults.reportedValues = std::move(values);
    return faults;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RecordedCheckRows,
    testing::Values(
        CheckRow{
            "InStep", {}, true, {}, Outcome::Succeeded, "Settings read successfully\r\nDevice in step with the file"},
        CheckRow{"TextLongerOnTheDevice",
                 reported({{"SMS4", "Dev body 4, alarm @T=1 and more"}}),
                 true,
                 {},
                 Outcome::Succeeded,
                 "Settings read successfully\r\nDevice in step with the file"},
        CheckRow{"ChangedValues",
                 reported({{"PIN", "9999"}, {"XMS3", "Other"}}),
                 true,
                 {"PIN", "XMS3"},
                 Outcome::Failed,
                 "Settings read successfully\r\nDevice differs from the file in 2 fields"},
        CheckRow{"Unreadable", silentAt("SMS?"), false, {}, Outcome::Failed, "SMS body read error"},
        CheckRow{"Silent", silentAt("HALT!"), false, {}, Outcome::Unreachable, "Connection error (HALT)"}),
    test_support::RowName());

} // namespace
} // namespace telvor
