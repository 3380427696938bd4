#include "support/closed_loopback_port.h"
#include "support/row_name.h"
#include "support/simulated_device.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace telvor {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

TEST(CheckDeviceVersion, ShowsTheVersionAndLeavesTheDecodedOneAlone)
{
    SimulatedDevice device({}, "v2.8ED");
    device.firmware = FirmwareVersion{0x19, 0, 'C'};
    EXPECT_TRUE(device.operations.checkDeviceVersion());
    EXPECT_THAT(device.receivedLines(), ElementsAre("HALT!", "VER?"));
    EXPECT_EQ(device.surface.shownVersion, "v2.8ED");
    EXPECT_EQ(device.surface.shownStatus, "Firmware version read successful");
    EXPECT_THAT(device.surface.progress, ElementsAre(0, 50, 100));
    EXPECT_EQ(device.surface.rangeMinimum, 0);
    EXPECT_EQ(device.surface.rangeMaximum, 100);
    EXPECT_THAT(device.surface.boxes, IsEmpty());
    EXPECT_EQ(device.surface.controlReads, 1);
    EXPECT_EQ(device.surface.pushes, 1);
    EXPECT_EQ(device.firmware.versionNumber, 0x19);
    EXPECT_EQ(device.firmware.modelLetter, 'C');
}

struct OpeningFailure {
    const char* name;
    enum { Version, Read, Write } operation;
    std::string silentPrefix;
    std::vector<std::string> lines;
    std::vector<int> progress;
    std::string box;
    std::string status;
};

class UnansweredOpening : public testing::TestWithParam<OpeningFailure> {};

TEST_P(UnansweredOpening, ShowsItsBoxAndEndsWithoutVersion)
{
    const OpeningFailure& row = GetParam();
    DeviceFaults faults;
    faults.silentPrefixes = {row.silentPrefix};
    SimulatedDevice device({}, "v3.6E", faults);
    device.working.setText(slot("PIN"), "1234");
    const SettingsImage before = device.working;
    const bool done = row.operation == OpeningFailure::Version ? device.operations.checkDeviceVersion()
        : row.operation == OpeningFailure::Read                ? device.operations.readFromDevice()
                                                               : device.operations.writeToDevice();
    EXPECT_FALSE(done);
    EXPECT_EQ(device.receivedLines(), row.lines);
    EXPECT_THAT(device.surface.boxes, ElementsAre(row.box));
    EXPECT_EQ(device.surface.shownStatus, row.status);
    EXPECT_EQ(device.surface.shownVersion, "");
    EXPECT_EQ(device.surface.progress, row.progress);
    EXPECT_EQ(device.surface.pushes, 1);
    EXPECT_EQ(device.working, before);
}

INSTANTIATE_TEST_SUITE_P(Steps, UnansweredOpening,
                         testing::Values(OpeningFailure{"VersionCheckHalt",
                                                        OpeningFailure::Version,
                                                        "HALT!",
                                                        {"HALT!"},
                                                        {0},
                                                        "No answer from device",
                                                        "Connection error (HALT)"},
                                         OpeningFailure{"ReadHalt",
                                                        OpeningFailure::Read,
                                                        "HALT!",
                                                        {"HALT!", "DEBUG=0", "HALT!"},
                                                        {0},
                                                        "No answer from device",
                                                        "Connection error (HALT)"},
                                         OpeningFailure{"WriteHalt",
                                                        OpeningFailure::Write,
                                                        "HALT!",
                                                        {"HALT!", "DEBUG=0", "HALT!"},
                                                        {0},
                                                        "No answer from device (HALT 1)",
                                                        "Connection error (HALT)"},
                                         OpeningFailure{"VersionCheckVersion",
                                                        OpeningFailure::Version,
                                                        "VER?",
                                                        {"HALT!", "VER?"},
                                                        {0, 50},
                                                        "No answer from device (VER)",
                                                        "Version read error"},
                                         OpeningFailure{"ReadVersion",
                                                        OpeningFailure::Read,
                                                        "VER?",
                                                        {"HALT!", "DEBUG=0", "HALT!", "VER?"},
                                                        {0, 10},
                                                        "No answer from device (VER)",
                                                        "Version read error"},
                                         OpeningFailure{"WriteVersion",
                                                        OpeningFailure::Write,
                                                        "VER?",
                                                        {"HALT!", "DEBUG=0", "HALT!", "VER?"},
                                                        {0, 1},
                                                        "No answer from device (VER)",
                                                        "Version read error"}),
                         test_support::RowName());

TEST(OpeningSequence, OnlyTheLastHaltDecides)
{
    DeviceFaults faults;
    faults.faultsAt = {{1, LineFault::Silent}, {2, LineFault::Error}};
    SimulatedDevice device({}, "v1.5", faults);
    EXPECT_TRUE(device.operations.readFromDevice());
    EXPECT_THAT(device.receivedLines(), ElementsAre("HALT!", "DEBUG=0", "HALT!", "VER?", "SET?", "SMS?"));
    EXPECT_THAT(device.surface.boxes, IsEmpty());
}

TEST(OpeningSequence, TcpConnectionThatFailsShowsTheLanText)
{
    SimulatedDevice device;
    const int port = test_support::closedLoopbackPort();
    device.link.endpoint = TcpEndpoint{"127.0.0.1", static_cast<std::uint16_t>(port)};
    EXPECT_FALSE(device.operations.writeToDevice());
    EXPECT_THAT(device.surface.boxes,
                ElementsAre("LAN connection (TCP/IP) cannot be established! | Connection to "
                            "127.0.0.1 port "
                            + std::to_string(port) + " refused."));
    EXPECT_EQ(device.surface.shownStatus, "LAN connection (TCP/IP) cannot be established!");
    EXPECT_EQ(device.surface.shownVersion, "");
    EXPECT_THAT(device.surface.progress, ElementsAre(0));
    EXPECT_EQ(device.surface.pushes, 1);
    EXPECT_THAT(device.receivedLines(), IsEmpty());
}

TEST(OpeningSequence, SerialPortThatCannotBeOpenedNamesItsNumberWithTheDetail)
{
    SimulatedDevice device;
    const std::filesystem::path missing = std::filesystem::temp_directory_path() / "telvor-no-such-port";
    device.link.endpoint = SerialPortNumber{5};
    device.link.serialDeviceFormat = (missing / "tty%d").string();
    EXPECT_FALSE(device.operations.readFromDevice());
    ASSERT_EQ(device.surface.boxes.size(), 1u);
    EXPECT_THAT(device.surface.boxes[0], testing::StartsWith("COM5 port open error ! | "));
    EXPECT_THAT(device.surface.boxes[0], testing::HasSubstr((missing / "tty4").string()));
    EXPECT_EQ(device.surface.shownStatus, "COM5 port open error !");
    EXPECT_EQ(device.surface.pushes, 1);
}

TEST(OpeningSequence, SerialDevicePathThatCannotBeOpenedIsNamedInTheDetail)
{
    SimulatedDevice device;
    const std::filesystem::path missing = std::filesystem::temp_directory_path() / "telvor-no-such-port" / "ttyUSB0";
    device.link.endpoint = SerialPortPath{missing.string()};
    EXPECT_FALSE(device.operations.checkDeviceVersion());
    ASSERT_EQ(device.surface.boxes.size(), 1u);
    EXPECT_THAT(device.surface.boxes[0],
                testing::StartsWith("Serial port open error ! | Cannot open " + missing.string()));
    EXPECT_EQ(device.surface.shownStatus, "Serial port open error !");
    EXPECT_EQ(device.surface.pushes, 1);
    EXPECT_THAT(device.receivedLines(), IsEmpty());
}

TEST(OpeningSequence, ReplyWithoutVersionIsShownAsReceived)
{
    SimulatedDevice device({}, "GSM unit 2.8E");
    EXPECT_TRUE(device.operations.readFromDevice());
    EXPECT_EQ(device.surface.shownVersion, "GSM unit 2.8E");
    EXPECT_EQ(device.firmware.versionNumber, 0);
    EXPECT_THAT(device.receivedLines(), ElementsAre("HALT!", "DEBUG=0", "HALT!", "VER?", "SET?", "SMS?"));
    EXPECT_THAT(device.surface.progress, ElementsAre(0, 10, 30, 50, 100));
}

} // namespace
} // namespace telvor
