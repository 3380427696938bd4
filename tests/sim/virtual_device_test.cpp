#include "sim/virtual_device.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

#include <string>

namespace telvor {
namespace {

class Acknowledged : public testing::TestWithParam<const char*> {};

TEST_P(Acknowledged, CommandOrWriteLineGetsOkAndCr)
{
    VirtualDevice device;
    const Reply reply = device.handleLine(GetParam());
    EXPECT_EQ(reply.bytes, "OK\r");
    EXPECT_FALSE(reply.closeAfter);
}

INSTANTIATE_TEST_SUITE_P(Lines, Acknowledged,
                         testing::Values("HALT!", "DEBUG=0", "RCNT!", "ERS!", "TIME=26/05/06,07:05:09", "INIT!",
                                         "PIN=1 NUM0=2 NUM1=3", "SMS4=body", "SET", "ver?"));

TEST(VirtualDevice, VersionReplyCarriesTheTextAfterOkAndKeepsItWhole)
{
    VirtualDevice device({}, "v2.8E");
    const Reply reply = device.handleLine("VER?");
    EXPECT_EQ(reply.bytes, "OK\rv2.8E\r");
    EXPECT_EQ(reply.cuttableLength, 2u);
    EXPECT_EQ(VirtualDevice().handleLine("VER?").bytes, "OK\rv3.6E\r");
}

TEST(VirtualDevice, WriteLinesReachTheImageAndQueriesReportThem)
{
    VirtualDevice device({}, "v3.6E");
    device.handleLine("PIN=12 34 NUM0=+48 600 NUM1=");
    device.handleLine("ECFG3=1 SCLA3=-5 SCLB3=7");
    EXPECT_EQ(device.image().text(*slotByName("PIN")), "12 34");
    EXPECT_EQ(device.image().number(*slotByName("SCLA3")), -5);
    const std::string settings = device.handleLine("SET?").bytes;
    EXPECT_TRUE(settings.starts_with("PIN=12 34\rNUM0=+48 600\rNUM1=\r")) << settings;
    EXPECT_NE(device.handleLine("ECFG?").bytes.find("\rSCLAx=0,0,-5,0,0,0,0,0\r"), std::string::npos);
}

TEST(VirtualDevice, ReceiveCutsBytesIntoLinesAndPassesOverLineFeeds)
{
    VirtualDevice device({}, "v2.0");
    const std::vector<Reply> replies = device.receive("HALT!\r\nVER?\r\r\nTRPT=5");
    ASSERT_EQ(replies.size(), 2u);
    EXPECT_EQ(replies[0].bytes, "OK\r");
    EXPECT_EQ(replies[1].bytes, "OK\rv2.0\r");
    EXPECT_EQ(device.receive("0\r").at(0).bytes, "OK\r");
    EXPECT_EQ(device.image().number(*slotByName("TRPT")), 50);
    EXPECT_EQ(device.receivedLines(), (std::vector<std::string>{"HALT!", "VER?", "TRPT=50"}));
}

TEST(VirtualDevice, OverlongLineIsCutAtItsBufferAndTheNextLineIsWhole)
{
    VirtualDevice device;
    const std::string longLine = "SMS1=" + std::string(LineSplitter::kMaxLineLength, 'a') + "tail";
    const std::vector<Reply> replies = device.receive(longLine + "\rHALT!\r");
    ASSERT_EQ(replies.size(), 2u);
    EXPECT_EQ(device.receivedLines().at(0).size(), LineSplitter::kMaxLineLength);
    EXPECT_EQ(device.receivedLines().at(1), "HALT!");
    EXPECT_EQ(device.image().text(*slotByName("SMS1")), std::string(160, 'a'));
}

TEST(DeviceFaults, SilentPrefixIsNeitherAnsweredNorActedOn)
{
    DeviceFaults faults;
    faults.silentPrefixes = {"SMS3"};
    VirtualDevice device({}, "v3.6E", faults);
    EXPECT_EQ(device.handleLine("SMS3=lost").bytes, "");
    EXPECT_EQ(device.image().text(*slotByName("SMS3")), "");
    EXPECT_EQ(device.handleLine("SMS4=kept").bytes, "OK\r");
}

TEST(DeviceFaults, ReplyErrorPrefixGetsErrorAndIsNotActedOn)
{
    DeviceFaults faults;
    faults.errorPrefixes = {"ICFG", "SET?"};
    VirtualDevice device({}, "v3.6E", faults);
    EXPECT_EQ(device.handleLine("ICFG1=5 ULO1=1 UHI1=2 SCFG1=3").bytes, "ERROR\r");
    EXPECT_EQ(device.image().number(*slotByName("ICFG1")), 0);
    EXPECT_EQ(device.handleLine("SET?").bytes, "ERROR\r");
    EXPECT_EQ(device.handleLine("OCFG1=5").bytes, "OK\r");
}

struct LineFaultCase {
    const char* name;
    LineFault fault;
    std::string bytes;
    bool closes;
};

void PrintTo(const LineFaultCase& row, std::ostream* out)
{
    *out << row.name;
}

class FaultAtLine : public testing::TestWithParam<LineFaultCase> {};

TEST_P(FaultAtLine, HitsTheNumberedLineOfEachConnectionWhateverItsText)
{
    DeviceFaults faults;
    faults.faultsAt[2] = GetParam().fault;
    VirtualDevice device({}, "v3.6E", faults);
    for (int connection = 0; connection < 2; ++connection) {
        device.beginConnection();
        EXPECT_EQ(device.handleLine("HALT!").bytes, "OK\r");
        const Reply hit = device.handleLine("TRPT=9");
        EXPECT_EQ(hit.bytes, GetParam().bytes);
        EXPECT_EQ(hit.closeAfter, GetParam().closes);
        EXPECT_EQ(device.image().number(*slotByName("TRPT")), 0);
        EXPECT_EQ(device.handleLine("TRPT=9").bytes, "OK\r");
        device.image().clear();
    }
}

const LineFaultCase kLineFaultCases[] = {
    {"Close", LineFault::Close, "", true},
    {"Silent", LineFault::Silent, "", false},
    {"Error", LineFault::Error, "ERROR\r", false},
    {"Garbage", LineFault::Garbage, "#\x7F?\xFE!\r", false},
};

INSTANTIATE_TEST_SUITE_P(Kinds, FaultAtLine, testing::ValuesIn(kLineFaultCases), test_support::RowName());

TEST(DeviceFaults, DropAfterClosesOnceTheLineIsAnswered)
{
    DeviceFaults faults;
    faults.dropAfter = 2;
    VirtualDevice device({}, "v3.6E", faults);
    EXPECT_FALSE(device.handleLine("HALT!").closeAfter);
    const Reply last = device.handleLine("VER?");
    EXPECT_EQ(last.bytes, "OK\rv3.6E\r");
    EXPECT_TRUE(last.closeAfter);
    device.beginConnection();
    EXPECT_FALSE(device.handleLine("HALT!").closeAfter);
}

TEST(DeviceFaults, CorruptReportsAWrongValueInTheFirstAnswersOnly)
{
    SettingsImage image;
    image.setText(*slotByName("SMS2"), "Alarm");
    image.setNumber(*slotByName("SCLA1"), -9);
    image.setNumber(*slotByName("HIST1"), 19);
    DeviceFaults faults;
    faults.corruptAnswers = {{"SMS2", 2}, {"SCLAx", 1}, {"HIST1", 1}, {"PIN", 1}};
    VirtualDevice device(image, "v3.6E", faults);
    EXPECT_NE(device.handleLine("SMS?").bytes.find("\rSMS2=Xlarm\r"), std::string::npos);
    EXPECT_NE(device.handleLine("SMS?").bytes.find("\rSMS2=Xlarm\r"), std::string::npos);
    EXPECT_NE(device.handleLine("SMS?").bytes.find("\rSMS2=Alarm\r"), std::string::npos);
    EXPECT_NE(device.handleLine("ECFG?").bytes.find("\rSCLAx=-0,0,"), std::string::npos);
    EXPECT_NE(device.handleLine("ECFG?").bytes.find("\rSCLAx=-9,0,"), std::string::npos);
    const std::string settings = device.handleLine("SET?").bytes;
    EXPECT_TRUE(settings.starts_with("PIN=X\r")) << settings;
    EXPECT_NE(settings.find("\rHIST1=29\r"), std::string::npos) << settings;
}

TEST(DeviceFaults, OmitLeavesTheKeyOutOfEveryAnswer)
{
    DeviceFaults faults;
    faults.omittedKeys = {"ATIM", "SMS0"};
    VirtualDevice device({}, "v3.6E", faults);
    EXPECT_EQ(device.handleLine("SET?").bytes.find("ATIM="), std::string::npos);
    const std::string bodies = device.handleLine("SMS?").bytes;
    EXPECT_TRUE(bodies.starts_with("SMS1=\r")) << bodies;
}

TEST(DeviceFaults, ReportReplacesTheStoredValue)
{
    DeviceFaults faults;
    faults.reportedValues = {{"PIN", "9999"}, {"ICFGx", "1,2"}};
    VirtualDevice device({}, "v3.6E", faults);
    device.handleLine("PIN=1234 NUM0= NUM1=");
    const std::string settings = device.handleLine("SET?").bytes;
    EXPECT_TRUE(settings.starts_with("PIN=9999\r")) << settings;
    EXPECT_NE(settings.find("\rICFGx=1,2\r"), std::string::npos);
    EXPECT_EQ(device.image().text(*slotByName("PIN")), "1234");
}

} // namespace
} // namespace telvor
