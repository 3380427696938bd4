#include "support/device_images.h"
#include "support/simulated_device.h"

#include "operations/write_rows.h"
#include "support/row_name.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace telvor {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

std::vector<std::string> join(std::initializer_list<std::vector<std::string>> parts)
{
    std::vector<std::string> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

ServiceOptions allServices()
{
    return ServiceOptions{true, true, true, true};
}

TEST(WriteToDevice, FullWriteWithEveryServiceCommand)
{
    SimulatedDevice device({}, "v3.6E");
    device.working = everyGroupImage();
    device.surface.controls.service = allServices();
    EXPECT_TRUE(device.operations.writeToDevice());

    const FirmwareVersion firmware{0x36, 1, 0};
    EXPECT_EQ(device.receivedLines(),
              join({openingLines(),
                    writeLinesFor(device.working, firmware),
                    {"HALT!", "SET?", "HALT!", "SMS?", "HALT!", "APN?", "HALT!", "EAD?", "HALT!", "XCFG?", "HALT!",
                     "ECFG?", "RCNT!", "ERS!", kFixedClockLine, "INIT!"}}));
    EXPECT_EQ(device.surface.shownStatus,
              "Configuration transferred to device,\r\nverification successful.,counters "
              "cleared, log cleared,RTC updated,\r\ndevice reset.");
    EXPECT_EQ(device.surface.shownVersion, "v3.6E");
    EXPECT_THAT(device.surface.boxes, IsEmpty());
    EXPECT_THAT(device.surface.progress,
                ElementsAre(0, 1, 5,                                        // opening
                            10, 20, 30, 35, 45, 47, 48, 50,                 // rows 1 to 8
                            50, 52, 54, 56, 58, 60, 62, 64, 66, 68,         // message bodies
                            72, 74, 76, 78, 80, 82, 84, 86,                 // inputs
                            88, 90, 92, 94, 96, 98,                         // outputs
                            90, 100,                                        // alarm delays
                            0, 0, 5, 10, 15, 20, 25, 30,                    // access points
                            30, 35, 40, 45, 50, 55, 70, 90,                 // mail
                            0, 10, 12, 15, 17,                              // extended lines
                            20, 25, 30, 35, 40, 45, 50, 55, 60, 65, 70, 75, // extended line bodies
                            80, 85, 90, 95, 100,                            //
                            10, 25, 50, 60,                                 // late numbers, answer time
                            65, 70, 75, 80, 85, 90, 95, 100,                // scaling
                            100,                                            // end of the write
                            10, 50, 100, 100, 100, 70, 100, 70, 100));      // verification
    EXPECT_EQ(device.firmware.versionNumber, 0x36);
    EXPECT_EQ(device.firmware.extended, 1);
    const SettingsImage written = device.deviceImage();
    for (const char* name : {"PIN", "NUM3", "SMS9", "ICFG8", "SCLA3", "XMS17", "EAD5", "URL1", "WKD3", "XHI9"}) {
        const Slot field = *slotByName(name);
        EXPECT_TRUE(std::ranges::equal(written.bytesOf(field), device.working.bytesOf(field))) << name;
    }
}

TEST(WriteToDevice, Version25WithoutExtendedLinesSendsTheirSwitchOnly)
{
    SimulatedDevice device({}, "v2.5");
    device.working = everyGroupImage();
    device.working.setNumber(slot("MCFG2"), 6);
    device.surface.controls.service.setClock = true;
    device.surface.controls.service.resetDevice = true;
    EXPECT_TRUE(device.operations.writeToDevice());
    const std::vector<std::string> written = writeLinesFor(device.working, FirmwareVersion{0x25, 0, 0});
    EXPECT_EQ(written.back(), "MCFG2=6 SXML=5");
    EXPECT_EQ(device.receivedLines(),
              join({openingLines(), written, {"HALT!", "SET?", "HALT!", "SMS?", kFixedClockLine, "INIT!"}}));
    EXPECT_EQ(device.surface.shownStatus,
              "Configuration transferred to device,\r\nverification successful.,RTC updated,\r\ndevice reset.");
    EXPECT_THAT(device.surface.progress.back(), 100);
}

TEST(WriteToDevice, DeviceWithoutVersionGetsTheBasicGroups)
{
    SimulatedDevice device({}, "GSM");
    device.working = everyGroupImage();
    EXPECT_TRUE(device.operations.writeToDevice());
    EXPECT_EQ(device.surface.shownVersion, "GSM");
    EXPECT_EQ(device.firmware.versionNumber, 0);
    const std::vector<std::string> written = writeLinesFor(device.working, FirmwareVersion{});
    EXPECT_EQ(written.size(), 35u);
    EXPECT_EQ(device.receivedLines(), join({openingLines(), written, {"HALT!", "SET?", "HALT!", "SMS?"}}));
    EXPECT_EQ(device.surface.shownStatus, "Configuration transferred to device,\r\nverification successful.");
}

TEST(WriteToDevice, UnansweredLineStopsTheWriteAndClosesTheLink)
{
    DeviceFaults faults;
    faults.silentPrefixes = {"ICFG3="};
    SimulatedDevice device({}, "v3.6E", faults);
    device.working = everyGroupImage();
    device.surface.controls.service = allServices();
    EXPECT_FALSE(device.operations.writeToDevice());
    std::vector<std::string> expected = openingLines();
    for (const std::string& line : writeLinesFor(device.working, FirmwareVersion{0x36, 1, 0})) {
        expected.push_back(line);
        if (line.starts_with("ICFG3="))
            break;
    }
    EXPECT_EQ(device.receivedLines(), expected);
    EXPECT_THAT(device.surface.boxes, ElementsAre("No answer from device (ICFG3)"));
    EXPECT_EQ(device.surface.shownStatus, "Write error (inputs cfg)");
    EXPECT_EQ(device.surface.progress.back(), 74);
    EXPECT_EQ(device.surface.pushes, 1);

    // The link was closed: the device takes the next connection at once.
    EXPECT_TRUE(device.operations.checkDeviceVersion());
    EXPECT_EQ(device.surface.shownStatus, "Firmware version read successful");
}

struct RowFailure {
    const char* name;
    std::string silentPrefix;
    std::string box;
    std::string status;
};

class UnacknowledgedRow : public testing::TestWithParam<RowFailure> {};

TEST_P(UnacknowledgedRow, NamesTheFirstKeyOfItsLine)
{
    DeviceFaults faults;
    faults.silentPrefixes = {GetParam().silentPrefix};
    SimulatedDevice device({}, "v3.6E", faults);
    device.working = everyGroupImage();
    EXPECT_FALSE(device.operations.writeToDevice());
    EXPECT_THAT(device.surface.boxes, ElementsAre(GetParam().box));
    EXPECT_EQ(device.surface.shownStatus, GetParam().status);
    EXPECT_TRUE(device.receivedLines().back().starts_with(GetParam().silentPrefix));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, UnacknowledgedRow,
    testing::Values(RowFailure{"Pin", "PIN=", "No answer from device (PIN)", "Write error (1)"},
                    RowFailure{"Alarm", "ALMD=", "No answer from device (ALMD)", "Write error (8)"},
                    RowFailure{"Output", "OCFG6=", "No answer from device (OCFG6)", "Write error (outputs cfg)"},
                    RowFailure{"AccessPoint", "APN4=", "No answer from device (APN4)", "Write error: APN"},
                    RowFailure{"ExtendedLines", "XCFG7=", "No answer from device (XCFG7)", "Write error: XCFG7"},
                    RowFailure{"Scaling", "ECFG5=", "No answer from device (ECFG5)", "No answer from device (ECFG5)"},
                    RowFailure{"WeekDays", "WKD1=", "No answer from device (WKD1)", "Write error: WKD"}),
    test_support::RowName());

TEST(WriteToDevice, MessageBodyAnsweredAtTheSecondAttempt)
{
    // Line 16 is SMS2: four opening lines, eight lines of settings, "HALT!".
    DeviceFaults faults;
    faults.faultsAt = {{16, LineFault::Silent}};
    SimulatedDevice device({}, "v2.5", faults);
    device.working = everyGroupImage();
    device.working.setNumber(slot("MCFG2"), 0);
    EXPECT_TRUE(device.operations.writeToDevice());
    const std::vector<std::string> lines = device.receivedLines();
    ASSERT_GT(lines.size(), 17u);
    EXPECT_EQ(lines[15], "SMS2=" + device.working.text(slot("SMS", 2)));
    EXPECT_EQ(lines[16], lines[15]);
    EXPECT_EQ(lines[17], "SMS3=" + device.working.text(slot("SMS", 3)));
    EXPECT_THAT(device.surface.boxes, IsEmpty());
    EXPECT_EQ(device.surface.shownStatus, "Configuration transferred to device,\r\nverification successful.");
}

TEST(WriteToDevice, MessageBodyUnansweredTwiceStopsTheWrite)
{
    DeviceFaults faults;
    faults.silentPrefixes = {"SMS7="};
    SimulatedDevice device({}, "v2.5", faults);
    device.working = everyGroupImage();
    EXPECT_FALSE(device.operations.writeToDevice());
    const std::vector<std::string> lines = device.receivedLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_TRUE(lines.back().starts_with("SMS7="));
    EXPECT_EQ(lines[lines.size() - 2], lines.back());
    EXPECT_THAT(device.surface.boxes, ElementsAre("No answer from device (SMS7)"));
    EXPECT_EQ(device.surface.shownStatus, "SMS write error");
}

} // namespace
} // namespace telvor
