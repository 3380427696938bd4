// A write that first reads the device's settings into a backup, on the same
// connection: the device sees a read's lines and then a write's, exactly as
// each alone sends them, and no write line when the backup is not kept.
#include "support/device_images.h"
#include "support/simulated_device.h"

#include "support/row_name.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace telvor {
namespace {

using BackupWrite = DeviceOperations::BackupWrite;

// The lines and texts of a read, then a write, each on a device of its own.
struct Separate {
    std::vector<std::string> readLines;
    std::vector<int> readProgress;
    std::vector<std::string> writeLines;
    std::vector<int> writeProgress;
    std::string writeStatus;
};

Separate separately(const SettingsImage& deviceImage, const SettingsImage& working)
{
    Separate separate;
    SimulatedDevice reader(deviceImage);
    EXPECT_TRUE(reader.operations.readFromDevice());
    separate.readLines = reader.receivedLines();
    separate.readProgress = reader.surface.progress;
    SimulatedDevice writer(deviceImage);
    writer.working = working;
    writer.surface.controls.service.setClock = true;
    EXPECT_TRUE(writer.operations.writeToDevice());
    separate.writeLines = writer.receivedLines();
    separate.writeProgress = writer.surface.progress;
    separate.writeStatus = writer.surface.shownStatus;
    return separate;
}

template <typename Item>
std::vector<Item> joined(std::vector<Item> first, const std::vector<Item>& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

TEST(WriteAfterBackup, DeviceSeesTheReadThenTheWrite)
{
    const SettingsImage before = otherImage();
    const Separate separate = separately(before, everyGroupImage());
    SimulatedDevice device(before);
    device.working = everyGroupImage();
    device.surface.controls.service.setClock = true;
    SettingsImage backup;
    int asked = 0;
    const BackupWrite result = device.operations.writeAfterBackup(backup, [&] {
        ++asked;
        // The backup is whole when it is offered, before any write line.
        EXPECT_EQ(backup.bytes(), before.bytes());
        EXPECT_EQ(device.receivedLines(), separate.readLines);
        return true;
    });
    EXPECT_EQ(result, BackupWrite::Written);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(device.receivedLines(), joined(separate.readLines, separate.writeLines));
    EXPECT_EQ(device.surface.progress, joined(separate.readProgress, separate.writeProgress));
    EXPECT_EQ(device.surface.shownStatus, separate.writeStatus);
    EXPECT_EQ(device.surface.shownVersion, "v3.6E");
    EXPECT_EQ(device.surface.controlReads, 1);
    EXPECT_EQ(device.surface.pushes, 1);
    EXPECT_THAT(device.surface.boxes, testing::IsEmpty());
    EXPECT_EQ(device.deviceImage().bytes(), everyGroupImage().bytes());
}

struct StoppedRow {
    const char* name;
    DeviceFaults faults;
    bool keep;
    BackupWrite result;
    // The lines the device received: the read's, up to the one it failed at.
    std::size_t readLines;
    std::string status;
    std::vector<std::string> boxes;
};

DeviceFaults silentAt(std::string prefix)
{
    DeviceFaults faults;
    faults.silentPrefixes = {std::move(prefix)};
    return faults;
}

class WriteAfterBackupStopped : public testing::TestWithParam<StoppedRow> {};

TEST_P(WriteAfterBackupStopped, BeforeTheFirstWriteLine)
{
    const StoppedRow& row = GetParam();
    const SettingsImage before = otherImage();
    const std::vector<std::string> readLines = separately(before, everyGroupImage()).readLines;
    SimulatedDevice device(before, "v3.6E", row.faults);
    device.working = everyGroupImage();
    SettingsImage backup;
    int asked = 0;
    EXPECT_EQ(device.operations.writeAfterBackup(backup,
                                                 [&] {
                                                     ++asked;
                                                     return row.keep;
                                                 }),
              row.result);
    EXPECT_EQ(asked, row.result == BackupWrite::BackupNotKept ? 1 : 0);
    EXPECT_EQ(device.receivedLines(),
              std::vector<std::string>(readLines.begin(), readLines.begin() + static_cast<long>(row.readLines)));
    EXPECT_EQ(device.surface.shownStatus, row.status);
    EXPECT_EQ(device.surface.boxes, row.boxes);
    EXPECT_EQ(device.surface.pushes, 1);
    EXPECT_EQ(device.deviceImage().bytes(), before.bytes());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WriteAfterBackupStopped,
    testing::Values(
        StoppedRow{"BackupNotKept", {}, false, BackupWrite::BackupNotKept, 12, "Settings read successfully", {}},
        StoppedRow{"BackupReadFails",
                   silentAt("XCFG?"),
                   true,
                   BackupWrite::BackupNotRead,
                   11,
                   "XCFG settings read error",
                   {"No answer from device"}},
        StoppedRow{"DeviceSilent",
                   silentAt("VER?"),
                   true,
                   BackupWrite::BackupNotRead,
                   4,
                   "Version read error",
                   {"No answer from device (VER)"}}),
    test_support::RowName());

} // namespace
} // namespace telvor
