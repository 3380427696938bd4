#include "support/device_images.h"
#include "support/simulated_device.h"

#include "operations/write_rows.h"
#include "support/row_name.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace telvor {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

constexpr const char* kPassed = "Configuration transferred to device,\r\nverification successful.";
constexpr const char* kFailed = "Configuration transferred to device,\r\nwverification failed!";

// The lines the device received after the write lines.
std::vector<std::string> verificationLines(const SimulatedDevice& device)
{
    const std::size_t written = openingLines().size() + writeLinesFor(device.working, device.firmware).size();
    const std::vector<std::string> lines = device.receivedLines();
    return {lines.begin() + static_cast<std::ptrdiff_t>(std::min(written, lines.size())), lines.end()};
}

SettingsImage withoutExtendedLines(SettingsImage image)
{
    image.setNumber(slot("MCFG2"), 0);
    return image;
}

TEST(Verification, PinReportedLongerPasses)
{
    DeviceFaults faults;
    faults.reportedValues = {{"PIN", "1234567"}};
    SimulatedDevice device({}, "v2.0", faults);
    device.working.setText(slot("PIN"), "1234");
    EXPECT_TRUE(device.operations.writeToDevice());
    EXPECT_EQ(device.surface.shownStatus, kPassed);
}

TEST(Verification, PinReportedShorterFails)
{
    DeviceFaults faults;
    faults.reportedValues = {{"PIN", "12"}};
    SimulatedDevice device({}, "v2.0", faults);
    device.working.setText(slot("PIN"), "1234");
    device.surface.controls.service = ServiceOptions{true, true, true, true};
    EXPECT_FALSE(device.operations.writeToDevice());
    EXPECT_THAT(device.surface.boxes, ElementsAre("Verify error (PIN)"));
    EXPECT_EQ(device.surface.shownStatus, kFailed);
    EXPECT_THAT(verificationLines(device), ElementsAre("HALT!", "SET?"));
}

TEST(Verification, LaterLabelOfStageOneWins)
{
    DeviceFaults faults;
    faults.reportedValues = {{"HIST1", "9"}, {"MCFG1", "9"}};
    SimulatedDevice device({}, "v3.6E", faults);
    device.working = everyGroupImage();
    EXPECT_FALSE(device.operations.writeToDevice());
    EXPECT_THAT(device.surface.boxes, ElementsAre("Verify error (MCFG1)"));
    EXPECT_EQ(device.surface.shownStatus, kFailed);
    EXPECT_THAT(verificationLines(device), ElementsAre("HALT!", "SET?"));
    EXPECT_THAT(device.surface.progress.back(), 50);
}

TEST(Verification, BodyWrongOnceIsRewrittenAndPasses)
{
    DeviceFaults faults;
    faults.corruptAnswers = {{"SMS3", 1}};
    SimulatedDevice device({}, "v2.5", faults);
    device.working = withoutExtendedLines(everyGroupImage());
    EXPECT_TRUE(device.operations.writeToDevice());
    EXPECT_THAT(
        verificationLines(device),
        ElementsAre("HALT!", "SET?", "HALT!", "SMS?", "SMS3=" + device.working.text(slot("SMS", 3)), "HALT!", "SMS?"));
    EXPECT_EQ(device.surface.shownStatus, kPassed);
    EXPECT_THAT(device.surface.boxes, IsEmpty());
}

TEST(Verification, BodyWrongAtEveryReadGivesUpAfterThreeRewrites)
{
    DeviceFaults faults;
    faults.corruptAnswers = {{"SMS3", 100}};
    SimulatedDevice device({}, "v3.6E", faults);
    device.working = everyGroupImage();
    device.surface.controls.service = ServiceOptions{true, true, true, true};
    EXPECT_FALSE(device.operations.writeToDevice());
    const std::string rewrite = "SMS3=" + device.working.text(slot("SMS", 3));
    EXPECT_THAT(verificationLines(device),
                ElementsAre("HALT!", "SET?", "HALT!", "SMS?", rewrite, "HALT!", "SMS?", rewrite, "HALT!", "SMS?",
                            rewrite, "HALT!", "SMS?"));
    EXPECT_THAT(device.surface.boxes, ElementsAre("Verify error (SMS3/1)"));
    EXPECT_EQ(device.surface.shownStatus, kFailed);
}

TEST(Verification, RewritesAreCountedForTheWholeStage)
{
    DeviceFaults faults;
    faults.corruptAnswers = {{"SMS3", 1}, {"SMS5", 100}};
    SimulatedDevice device({}, "v2.5", faults);
    device.working = withoutExtendedLines(everyGroupImage());
    EXPECT_FALSE(device.operations.writeToDevice());
    const std::string body3 = "SMS3=" + device.working.text(slot("SMS", 3));
    const std::string body5 = "SMS5=" + device.working.text(slot("SMS", 5));
    EXPECT_THAT(verificationLines(device),
                ElementsAre("HALT!", "SET?", "HALT!", "SMS?", body3, "HALT!", "SMS?", body5, "HALT!", "SMS?", body5,
                            "HALT!", "SMS?"));
    EXPECT_THAT(device.surface.boxes, ElementsAre("Verify error (SMS5/1)"));
}

TEST(Verification, ExtendedLineConfigurationThatStaysWrongNamesItsLine)
{
    DeviceFaults faults;
    faults.corruptAnswers = {{"XCFGx", 100}};
    SimulatedDevice device({}, "v2.5", faults);
    device.working = everyGroupImage();
    EXPECT_FALSE(device.operations.writeToDevice());
    const std::vector<std::string> lines = verificationLines(device);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "XCFG1=101"), 3);
    EXPECT_EQ(lines.back(), "XCFG?");
    EXPECT_THAT(device.surface.boxes, ElementsAre("Verify error (XCFG1)"));
    EXPECT_EQ(device.surface.shownStatus, kFailed);
}

TEST(Verification, ScaleWrongOnceIsRewrittenWithItsSign)
{
    DeviceFaults faults;
    faults.corruptAnswers = {{"SCLAx", 1}};
    SimulatedDevice device({}, "v2.6", faults);
    device.working = withoutExtendedLines(everyGroupImage());
    EXPECT_TRUE(device.operations.writeToDevice());
    EXPECT_THAT(verificationLines(device),
                ElementsAre("HALT!", "SET?", "HALT!", "SMS?", "HALT!", "ECFG?", "SCLA1=-5", "HALT!", "ECFG?"));
    EXPECT_EQ(device.surface.shownStatus, kPassed);
    const std::vector<int>& progress = device.surface.progress;
    ASSERT_GE(progress.size(), 6u);
    EXPECT_THAT(std::vector<int>(progress.end() - 6, progress.end()), ElementsAre(10, 50, 100, 70, 100, 100));
}

TEST(Verification, LateNumberMismatchFailsWithoutRewrite)
{
    DeviceFaults faults;
    faults.reportedValues = {{"NUM7", "999"}};
    SimulatedDevice device({}, "v3.6E", faults);
    device.working = everyGroupImage();
    device.surface.controls.service = ServiceOptions{true, true, true, true};
    EXPECT_FALSE(device.operations.writeToDevice());
    EXPECT_EQ(verificationLines(device).back(), "ECFG?");
    EXPECT_THAT(device.surface.boxes, ElementsAre("Verify error (NUM7)"));
    EXPECT_EQ(device.surface.shownStatus, kFailed);
}

TEST(Verification, MissingAnswerTimeReadsAsZero)
{
    DeviceFaults faults;
    faults.omittedKeys = {"ATIM"};
    SimulatedDevice device({}, "v2.6", faults);
    device.working = withoutExtendedLines(everyGroupImage());
    EXPECT_FALSE(device.operations.writeToDevice());
    EXPECT_THAT(device.surface.boxes, ElementsAre("Verify error (ATIM)"));

    SimulatedDevice quiet({}, "v2.6", faults);
    quiet.working = withoutExtendedLines(everyGroupImage());
    quiet.working.setNumber(slot("ATIM"), 0);
    EXPECT_TRUE(quiet.operations.writeToDevice());
}

TEST(Verification, AnswerOfAnEarlierDeviceIsNeverComparedAgain)
{
    SimulatedDevice first({}, "v2.0");
    first.working.setText(slot("PIN"), "1234");
    ASSERT_TRUE(first.operations.writeToDevice());

    DeviceFaults faults;
    faults.omittedKeys = {"PIN"};
    SimulatedDevice second({}, "v2.0", faults);
    second.working = first.working;
    second.verification = first.verification;
    EXPECT_FALSE(second.operations.writeToDevice());
    EXPECT_THAT(second.surface.boxes, ElementsAre("Verify error (PIN)"));
}

TEST(Verification, BalanceCharacterThatWasNotSentIsNotCompared)
{
    SimulatedDevice device({}, "v3.6E");
    device.working = withoutExtendedLines(everyGroupImage());
    device.working.setNumber(slot("URL2", Field::kNotIndexed, 8), 0xFF);
    EXPECT_TRUE(device.operations.writeToDevice());
    EXPECT_EQ(device.surface.shownStatus, kPassed);
}

TEST(Verification, BalanceCharacterReportedWrongFails)
{
    DeviceFaults faults;
    faults.reportedValues = {{"URL2", "*101#DXC"}};
    SimulatedDevice device({}, "v3.6E", faults);
    device.working = withoutExtendedLines(everyGroupImage());
    EXPECT_FALSE(device.operations.writeToDevice());
    EXPECT_THAT(device.surface.boxes, ElementsAre("Verify error (URL2E0)"));
}

TEST(Verification, ClosingComparisonOfTheOperatorCode)
{
    DeviceFaults faults;
    faults.reportedValues = {{"COPS", "1"}};
    SimulatedDevice device({}, "v2.9", faults);
    device.working = withoutExtendedLines(everyGroupImage());
    EXPECT_FALSE(device.operations.writeToDevice());
    EXPECT_THAT(device.surface.boxes, ElementsAre("Verify error (COPS)"));

    SimulatedDevice older({}, "v2.8C", faults);
    older.working = withoutExtendedLines(everyGroupImage());
    EXPECT_TRUE(older.operations.writeToDevice());
}

struct StageFailure {
    const char* name;
    std::string silentPrefix;
    std::string box;
    std::string status;
};

class UnansweredStage : public testing::TestWithParam<StageFailure> {};

TEST_P(UnansweredStage, EndsWithoutResultLine)
{
    DeviceFaults faults;
    faults.silentPrefixes = {GetParam().silentPrefix};
    SimulatedDevice device({}, "v3.6E", faults);
    device.working = everyGroupImage();
    device.surface.controls.service = ServiceOptions{true, true, true, true};
    EXPECT_FALSE(device.operations.writeToDevice());
    EXPECT_THAT(device.surface.boxes, ElementsAre(GetParam().box));
    EXPECT_EQ(device.surface.shownStatus, GetParam().status);
    EXPECT_EQ(device.receivedLines().back(), GetParam().silentPrefix);
}

INSTANTIATE_TEST_SUITE_P(
    Queries, UnansweredStage,
    testing::Values(
        StageFailure{"Settings", "SET?", "No answer from device (SET?)", "Connection error (SET?)"},
        StageFailure{"Bodies", "SMS?", "No answer from device (SMS?)", "SMS body read error"},
        StageFailure{"AccessPoints", "APN?", "No answer from device (APN?)", "APN settings read error"},
        StageFailure{"Mail", "EAD?", "No answer from device (EAD?)", "Error during cfg. read (EAD)"},
        StageFailure{"ExtendedLines", "XCFG?", "No answer from device (XCFG?)", "Error during cfg. read (XCFG)"},
        StageFailure{"LateSettings", "ECFG?", "No answer from device (ECFG?)", "Error during cfg. read (ECFG)"}),
    test_support::RowName());

TEST(Verification, UnansweredHaltOfEachStageHasItsOwnText)
{
    const std::vector<std::pair<std::string, std::string>> halts = {
        {"No answer from device (HALT 2)", "Connection error (HALT 2)"},
        {"No answer from device (HALT 3)", "Connection error (HALT 3)"},
        {"No answer from device (HALT 4)", "Connection error (HALT 4)"},
        {"No answer from device Telvor (HALT 5)", "Connection error (HALT 5)"},
        {"No answer from device (HALT 6)", "Connection error (HALT 6)"},
        {"No answer from device (HALT 7)", "Connection error (HALT 7)"},
    };
    const SettingsImage image = everyGroupImage();
    const int firstHalt
        = static_cast<int>(openingLines().size() + writeLinesFor(image, FirmwareVersion{0x36, 1, 0}).size()) + 1;
    for (std::size_t stage = 0; stage < halts.size(); ++stage) {
        DeviceFaults faults;
        faults.faultsAt = {{firstHalt + 2 * static_cast<int>(stage), LineFault::Silent}};
        SimulatedDevice device({}, "v3.6E", faults);
        device.working = image;
        EXPECT_FALSE(device.operations.writeToDevice());
        EXPECT_THAT(device.surface.boxes, ElementsAre(halts[stage].first));
        EXPECT_EQ(device.surface.shownStatus, halts[stage].second);
    }
}

} // namespace
} // namespace telvor
