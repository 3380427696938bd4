#include "support/device_images.h"
#include "support/simulated_device.h"

#include "operations/write_rows.h"
#include "support/row_name.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace telvor {
namespace {

using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;

std::vector<std::string> serviceLines(const SimulatedDevice& device)
{
    const std::vector<std::string> lines = device.receivedLines();
    const auto lastQuery = std::find(lines.rbegin(), lines.rend(), "SMS?");
    return {lastQuery.base(), lines.end()};
}

struct ServiceCase {
    const char* name;
    std::string versionText;
    ServiceOptions options;
    std::string silentPrefix;
    bool done;
    std::vector<std::string> lines;
    std::string status;
    std::vector<std::string> boxes;
};

class ServiceCommands : public testing::TestWithParam<ServiceCase> {};

TEST_P(ServiceCommands, FollowAPassedVerification)
{
    const ServiceCase& row = GetParam();
    DeviceFaults faults;
    if (!row.silentPrefix.empty())
        faults.silentPrefixes = {row.silentPrefix};
    SimulatedDevice device({}, row.versionText, faults);
    device.working.setText(slot("PIN"), "4321");
    device.surface.controls.service = row.options;
    EXPECT_EQ(device.operations.writeToDevice(), row.done);
    EXPECT_THAT(serviceLines(device), ElementsAreArray(row.lines));
    EXPECT_EQ(device.surface.shownStatus, row.status);
    EXPECT_THAT(device.surface.boxes, ElementsAreArray(row.boxes));
}

constexpr const char* kPassed = "Configuration transferred to device,\r\nverification successful.";

INSTANTIATE_TEST_SUITE_P(
    Options, ServiceCommands,
    testing::Values(ServiceCase{"NoneTicked", "v2.0", {}, {}, true, {}, kPassed, {}},
                    ServiceCase{"CountersAndLogOnVersion20",
                                "v2.0",
                                {true, true, false, false},
                                {},
                                true,
                                {"RCNT!", "ERS!"},
                                std::string(kPassed) + ",counters cleared, log cleared",
                                {}},
                    ServiceCase{
                        "CountersAndLogNeedVersion20", "v1.9", {true, true, false, false}, {}, true, {}, kPassed, {}},
                    ServiceCase{"ClockAndResetOnVersion19",
                                "v1.9",
                                {true, true, true, true},
                                {},
                                true,
                                {kFixedClockLine, "INIT!"},
                                std::string(kPassed) + ",RTC updated,\r\ndevice reset.",
                                {}},
                    ServiceCase{"UnansweredCounterResetStopsTheRest",
                                "v2.0",
                                {true, true, true, true},
                                "RCNT!",
                                false,
                                {"RCNT!"},
                                "Error during counter reset",
                                {"No answer from device (RCNT)"}},
                    ServiceCase{"UnansweredLogErase",
                                "v2.0",
                                {true, true, true, true},
                                "ERS!",
                                false,
                                {"RCNT!", "ERS!"},
                                "Error during log erase",
                                {"No answer from device (ERS)"}},
                    ServiceCase{"UnansweredClock",
                                "v2.0",
                                {false, false, true, true},
                                "TIME=",
                                false,
                                {kFixedClockLine},
                                "Error during RTC update",
                                {"No answer from device (TIME)"}},
                    ServiceCase{"ResetAnswerIsIgnored",
                                "v2.0",
                                {false, false, false, true},
                                "INIT!",
                                true,
                                {"INIT!"},
                                std::string(kPassed) + ",\r\ndevice reset.",
                                {}}),
    test_support::RowName());

TEST(ServiceCommands, FailedVerificationRunsNone)
{
    DeviceFaults faults;
    faults.reportedValues = {{"HIST2", "77"}};
    SimulatedDevice device({}, "v2.0", faults);
    device.surface.controls.service = ServiceOptions{true, true, true, true};
    EXPECT_FALSE(device.operations.writeToDevice());
    EXPECT_EQ(device.receivedLines().back(), "SET?");
    EXPECT_THAT(device.surface.boxes, ElementsAre("Verify error (HIST2)"));
}

TEST(ServiceCommands, ClockLineTakesTheTimeWhenItIsSent)
{
    SimulatedDevice device({}, "v2.0");
    int readings = 0;
    DeviceOperations operations(device.working, device.verification, device.firmware, device.link, device.surface,
                                [&readings] {
                                    ++readings;
                                    std::tm time = fixedLocalTime();
                                    time.tm_sec = 40 + readings;
                                    return time;
                                });
    device.surface.controls.service.setClock = true;
    EXPECT_TRUE(operations.writeToDevice());
    EXPECT_EQ(readings, 1);
    EXPECT_EQ(device.receivedLines().back(), "TIME=26/05/06,07:05:41");
}

} // namespace
} // namespace telvor
