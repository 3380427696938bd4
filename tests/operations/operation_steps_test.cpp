// The stages an operation names as it reaches them, for a progress display.
#include "support/device_images.h"
#include "support/simulated_device.h"

#include "support/row_name.h"

#include <gtest/gtest.h>

namespace telvor {
namespace {

enum class Run { Version, Read, Write, WriteAfterBackup };

struct StepsRow {
    const char* name;
    Run run;
    bool services;
    DeviceFaults faults;
    bool done;
    std::vector<std::string> steps;
};

DeviceFaults silentAt(std::string prefix)
{
    DeviceFaults faults;
    faults.silentPrefixes = {std::move(prefix)};
    return faults;
}

DeviceFaults pinReportedWrong()
{
    DeviceFaults faults;
    faults.reportedValues = {{"PIN", "9999"}};
    return faults;
}

class OperationSteps : public testing::TestWithParam<StepsRow> {};

TEST_P(OperationSteps, AreNamedInTheOrderTheyAreReached)
{
    const StepsRow& row = GetParam();
    SimulatedDevice device(everyGroupImage(), "v3.6E", row.faults);
    device.working = everyGroupImage();
    if (row.services)
        device.surface.controls.service = ServiceOptions{true, true, true, true};
    bool done = false;
    switch (row.run) {
    case Run::Version:
        done = device.operations.checkDeviceVersion();
        break;
    case Run::Read:
        done = device.operations.readFromDevice();
        break;
    case Run::Write:
        done = device.operations.writeToDevice();
        break;
    case Run::WriteAfterBackup: {
        SettingsImage backup;
        done
            = device.operations.writeAfterBackup(backup, [] { return true; }) == DeviceOperations::BackupWrite::Written;
        break;
    }
    }
    EXPECT_EQ(done, row.done);
    EXPECT_EQ(device.surface.steps, row.steps);
}

INSTANTIATE_TEST_SUITE_P(
    Operations, OperationSteps,
    testing::Values(StepsRow{"VersionCheck", Run::Version, false, {}, true, {"Checking version"}},
                    StepsRow{"VersionUnanswered", Run::Version, false, silentAt("VER?"), false, {"Checking version"}},
                    StepsRow{"Read", Run::Read, false, {}, true, {"Checking version", "Reading settings"}},
                    StepsRow{"WriteWithoutServiceCommands",
                             Run::Write,
                             false,
                             {},
                             true,
                             {"Checking version", "Writing settings", "Verifying"}},
                    StepsRow{"WriteWithEveryServiceCommand",
                             Run::Write,
                             true,
                             {},
                             true,
                             {"Checking version", "Writing settings", "Verifying", "Service commands"}},
                    StepsRow{"FailedVerificationRunsNoServiceCommand",
                             Run::Write,
                             true,
                             pinReportedWrong(),
                             false,
                             {"Checking version", "Writing settings", "Verifying"}},
                    StepsRow{
                        "WriteAfterBackup",
                        Run::WriteAfterBackup,
                        false,
                        {},
                        true,
                        {"Checking version", "Reading backup", "Checking version", "Writing settings", "Verifying"}},
                    StepsRow{"WriteStoppedAtItsFirstLine",
                             Run::Write,
                             true,
                             silentAt("PIN="),
                             false,
                             {"Checking version", "Writing settings"}}),
    test_support::RowName{});

} // namespace
} // namespace telvor
