#include "support/device_images.h"
#include "support/row_name.h"
#include "support/simulated_device.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace telvor {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

std::vector<std::string> afterOpening(std::vector<std::string> lines)
{
    std::vector<std::string> all = openingLines();
    all.insert(all.end(), lines.begin(), lines.end());
    return all;
}

// Each named field of `image` holds the bytes it has in `expected`.
void expectFieldsAsIn(const SettingsImage& image, const SettingsImage& expected, const std::vector<const char*>& names)
{
    for (const char* name : names) {
        const Slot field = *slotByName(name);
        EXPECT_TRUE(std::ranges::equal(image.bytesOf(field), expected.bytesOf(field))) << name;
    }
}

struct ReadCase {
    const char* name;
    std::string versionText;
    std::vector<std::string> queries;
    std::vector<int> progress;
    std::vector<const char*> readFields;
    std::vector<const char*> keptFields;
};

class ReadFromDevice : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadFromDevice, SendsTheQueriesOfTheVersionAndStoresTheAnswers)
{
    const ReadCase& row = GetParam();
    const SettingsImage deviceImage = everyGroupImage();
    SimulatedDevice device(deviceImage, row.versionText);
    device.working = otherImage();
    const SettingsImage before = device.working;
    EXPECT_TRUE(device.operations.readFromDevice());
    EXPECT_EQ(device.receivedLines(), afterOpening(row.queries));
    EXPECT_EQ(device.surface.progress, row.progress);
    EXPECT_EQ(device.surface.shownStatus, "Settings read successfully");
    EXPECT_EQ(device.surface.shownVersion, row.versionText);
    EXPECT_THAT(device.surface.boxes, IsEmpty());
    expectFieldsAsIn(device.working, deviceImage, row.readFields);
    expectFieldsAsIn(device.working, before, row.keptFields);
}

INSTANTIATE_TEST_SUITE_P(VersionClasses, ReadFromDevice,
                         testing::Values(ReadCase{"Version19",
                                                  "v1.9",
                                                  {"SET?", "SMS?"},
                                                  {0, 10, 30, 50, 100},
                                                  {"PIN", "NUM3", "ICFG8", "SMS9", "LOGT"},
                                                  {"APN0", "EAD0", "XCFG1", "NUM6", "ECFG1", "URL0"}},
                                         ReadCase{"Version20Extended",
                                                  "v2.0E",
                                                  {"SET?", "SMS?", "HALT!", "APN?", "EAD?"},
                                                  {0, 10, 30, 50, 60, 70, 100},
                                                  {"PIN", "SMS0", "APN6", "EAD5", "SEML8", "SLOG"},
                                                  {"XCFG1", "XMS1", "NUM6", "ECFG1"}},
                                         ReadCase{"Version25",
                                                  "v2.5",
                                                  {"SET?", "SMS?", "HALT!", "XCFG?"},
                                                  {0, 10, 30, 50, 80, 100},
                                                  {"PIN", "SMS0", "MCFG2", "XCFG17", "XMS17", "SXML"},
                                                  {"APN0", "EAD0", "NUM6", "ECFG1"}},
                                         ReadCase{"Version27",
                                                  "v2.7",
                                                  {"SET?", "SMS?", "HALT!", "APN?", "HALT!", "XCFG?", "ECFG?"},
                                                  {0, 10, 30, 50, 60, 70, 80, 90, 100},
                                                  {"APN2", "XCFG1", "NUM10", "ECFG8", "SCLA3", "URL0", "URL1"},
                                                  {"EAD0"}},
                                         ReadCase{"Version36Extended",
                                                  "v3.6E",
                                                  {"SET?", "SMS?", "HALT!", "APN?", "EAD?", "HALT!", "XCFG?", "ECFG?"},
                                                  {0, 10, 30, 50, 60, 70, 80, 90, 100},
                                                  {"PIN",    "NUM5", "TRPT", "ULO8", "UHI1",  "SMS9",  "APN6",  "EAD0",
                                                   "XCFG17", "XMS3", "XLO1", "XHI9", "NUM10", "SCLA8", "SCLB1", "COPS",
                                                   "THTP",   "NUID", "TGAC", "URL0", "URL1",  "URL2",  "WKD3"},
                                                  {}}),
                         test_support::RowName());

TEST(ReadFromDevice, BalanceCodeCharactersAndMultiValueKeysComeBackWhole)
{
    SimulatedDevice device(everyGroupImage(), "v3.6E");
    ASSERT_TRUE(device.operations.readFromDevice());
    EXPECT_EQ(device.working.u8(slot("URL2", Field::kNotIndexed, 7)), 'B');
    EXPECT_EQ(device.working.u8(slot("URL2", Field::kNotIndexed, 8)), 'C');
    EXPECT_EQ(device.working.u8(slot("RCFG", Field::kNotIndexed, 3)), 13);
    EXPECT_EQ(device.working.u8(slot("CTRL", Field::kNotIndexed, 2)), 32);
}

struct ReadFailure {
    const char* name;
    std::string silentQuery;
    std::vector<std::string> queries;
    std::vector<int> progress;
    std::string box;
    std::string status;
    std::vector<const char*> readFields;
    std::vector<const char*> keptFields;
};

class UnansweredQuery : public testing::TestWithParam<ReadFailure> {};

TEST_P(UnansweredQuery, KeepsTheAnswersReadBeforeIt)
{
    const ReadFailure& row = GetParam();
    const SettingsImage deviceImage = everyGroupImage();
    DeviceFaults faults;
    faults.silentPrefixes = {row.silentQuery};
    SimulatedDevice device(deviceImage, "v3.6E", faults);
    device.working = otherImage();
    const SettingsImage before = device.working;
    EXPECT_FALSE(device.operations.readFromDevice());
    EXPECT_EQ(device.receivedLines(), afterOpening(row.queries));
    EXPECT_EQ(device.surface.progress, row.progress);
    EXPECT_THAT(device.surface.boxes, ElementsAre(row.box));
    EXPECT_EQ(device.surface.shownStatus, row.status);
    EXPECT_EQ(device.surface.shownVersion, "v3.6E");
    EXPECT_EQ(device.surface.pushes, 1);
    expectFieldsAsIn(device.working, deviceImage, row.readFields);
    expectFieldsAsIn(device.working, before, row.keptFields);
}

INSTANTIATE_TEST_SUITE_P(Queries, UnansweredQuery,
                         testing::Values(ReadFailure{"Settings",
                                                     "SET?",
                                                     {"SET?"},
                                                     {0, 10, 30},
                                                     "No answer from device",
                                                     "Settings read error",
                                                     {},
                                                     {"PIN", "SMS0"}},
                                         ReadFailure{"Bodies",
                                                     "SMS?",
                                                     {"SET?", "SMS?"},
                                                     {0, 10, 30, 50},
                                                     "No answer from device",
                                                     "SMS body read error",
                                                     {"PIN"},
                                                     {"SMS0", "APN0"}},
                                         ReadFailure{"Apn",
                                                     "APN?",
                                                     {"SET?", "SMS?", "HALT!", "APN?"},
                                                     {0, 10, 30, 50, 60},
                                                     "No answer from device",
                                                     "APN settings read error",
                                                     {"PIN", "SMS0"},
                                                     {"APN0", "EAD0"}},
                                         ReadFailure{"Mail",
                                                     "EAD?",
                                                     {"SET?", "SMS?", "HALT!", "APN?", "EAD?"},
                                                     {0, 10, 30, 50, 60, 70},
                                                     "No answer from device",
                                                     "EAD settings read error",
                                                     {"PIN", "APN0"},
                                                     {"EAD0", "XCFG1"}},
                                         ReadFailure{"ExtendedLines",
                                                     "XCFG?",
                                                     {"SET?", "SMS?", "HALT!", "APN?", "EAD?", "HALT!", "XCFG?"},
                                                     {0, 10, 30, 50, 60, 70, 80},
                                                     "No answer from device",
                                                     "XCFG settings read error",
                                                     {"PIN", "SMS5", "APN3", "EAD2"},
                                                     {"XCFG1", "XMS1", "SXML", "NUM6", "ECFG1"}},
                                         ReadFailure{
                                             "LateSettings",
                                             "ECFG?",
                                             {"SET?", "SMS?", "HALT!", "APN?", "EAD?", "HALT!", "XCFG?", "ECFG?"},
                                             {0, 10, 30, 50, 60, 70, 80, 90},
                                             "No answer for ECFG command",
                                             "ECFG settings read error",
                                             {"XCFG1", "XMS1"},
                                             {"NUM6", "ECFG1", "URL0"}}),
                         test_support::RowName());

TEST(ReadFromDevice, GroupLeftOutOfTheAnswerKeepsItsContent)
{
    DeviceFaults faults;
    for (int index = 0; index <= 9; ++index)
        faults.omittedKeys.insert("SMS" + std::to_string(index));
    SimulatedDevice device(everyGroupImage(), "v2.5", faults);
    device.working = otherImage();
    EXPECT_TRUE(device.operations.readFromDevice());
    EXPECT_EQ(device.working.text(slot("SMS", 4)), otherImage().text(slot("SMS", 4)));
    EXPECT_EQ(device.working.text(slot("PIN")), everyGroupImage().text(slot("PIN")));
    EXPECT_EQ(device.firmware.versionNumber, 0x25);
}

} // namespace
} // namespace telvor
