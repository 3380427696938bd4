#include "editors/basic_settings.h"

#include "support/image_bytes.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace telvor {
namespace {

constexpr Slot kSeventh = slot("URL2", Field::kNotIndexed, 7);
constexpr Slot kEighth = slot("URL2", Field::kNotIndexed, 8);

// Every byte the basic settings editor may write.
std::set<int> ownedOffsets()
{
    std::vector<Slot> slots{slot("PIN"),  slot("TRPT"),  slot("MCFG1"), slot("RPTHR"), slot("SLIM"),
                            slot("LOGT"), slot("GRDHR"), slot("MCFG2"), slot("URL2"),  kSeventh,
                            kEighth,      slot("TGAC"),  slot("COPS")};
    for (int number = 0; number <= 10; ++number)
        slots.push_back(slot("NUM", number));
    for (int row = 1; row <= 3; ++row)
        slots.push_back(slot("WKD", row));
    std::set<int> offsets;
    for (const Slot& owned : slots) {
        for (int offset = owned.offset; offset < owned.offset + owned.width; ++offset)
            offsets.insert(offset);
    }
    return offsets;
}

TEST(BasicSettings, OpensEveryFieldIntoItsMember)
{
    SettingsImage image;
    putBytes(image, slot("NUM", 0), "+48601000310");
    putBytes(image, slot("NUM", 1), "0123456789abcdef");
    putBytes(image, slot("NUM", 10), "600100200");
    putBytes(image, slot("PIN"), "12345678");
    image.setU16(slot("TRPT"), 65535);
    image.setU8(slot("MCFG1"), 0b0010'1001);
    putBytes(image, slot("RPTHR"), std::string("\x81\x00\x10\xFF", 4));
    image.setU8(slot("SLIM"), 255);
    image.setU8(slot("LOGT"), 15);
    putBytes(image, slot("GRDHR"), std::string("\x00\x01\x00\x00", 4));
    image.setU8(slot("MCFG2"), 0b1000'0010);
    image.setU8(slot("TGAC"), 9);
    image.setU16(slot("COPS"), 26001);
    image.setU8(slot("WKD", 2), 0x41);

    BasicSettings settings;
    settings.unpack(image);
    EXPECT_EQ(settings.smsc, "+48601000310");
    EXPECT_EQ(settings.numbers[0], "0123456789abcdef");
    EXPECT_EQ(settings.numbers[1], "");
    EXPECT_EQ(settings.numbers[9], "600100200");
    EXPECT_EQ(settings.pin, "12345678");
    EXPECT_EQ(settings.reportPeriodMinutes, 65535);
    EXPECT_EQ(settings.periodicalReport, 1);
    EXPECT_EQ(settings.pinActive, 0);
    EXPECT_EQ(settings.smsLimitActive, 0);
    EXPECT_EQ(settings.reportOnlyInAlarmState, 1);
    EXPECT_EQ(settings.acknowledges, 0);
    EXPECT_EQ(settings.lcdSupport, 1);
    EXPECT_EQ(settings.reportHours, "0,7,20");
    EXPECT_EQ(settings.smsPerDay, 255);
    EXPECT_EQ(settings.loggingPeriodMinutes, 15);
    EXPECT_EQ(settings.wakingHours, "8");
    EXPECT_EQ(settings.reportAfterC1Change, 1);
    EXPECT_EQ(settings.loggingOnlyInWakingHours, 0);
    EXPECT_EQ(settings.loggingFasterInAlarmState, 1);
    EXPECT_EQ(settings.balanceCheckHour, 9);
    EXPECT_EQ(settings.networkCode, 26001);
    EXPECT_EQ(settings.days[0], (DayRow{}));
    EXPECT_EQ(settings.days[1], (DayRow{1, 0, 0, 0, 0, 0, 1, 0}));
}

TEST(BasicSettings, PackWithoutChangeDropsOnlyUnusedBits)
{
    SettingsImage image = patternedImage();
    const SettingsImage before = image;
    BasicSettings settings;
    settings.unpack(image);
    EXPECT_EQ(image, before);
    settings.pack(image);
    const std::vector<int> expected{slot("MCFG1").offset, slot("RPTHR").offset + 3, slot("GRDHR").offset + 3};
    EXPECT_EQ(changedOffsets(before, image), expected);
    EXPECT_EQ(image.u8(slot("MCFG1")), before.u8(slot("MCFG1")) & 0x3F);
}

TEST(BasicSettings, PackWritesNothingOutsideItsFields)
{
    SettingsImage image;
    image.bytes().fill(0xFF);
    const SettingsImage before = image;
    BasicSettings settings;
    settings.unpack(image);
    settings.pack(image);
    const std::set<int> owned = ownedOffsets();
    for (const int offset : changedOffsets(before, image))
        EXPECT_TRUE(owned.contains(offset)) << "offset " << offset;
}

TEST(BasicSettings, AllOnesImageOpensEmptyAndIsStoredAsZeros)
{
    SettingsImage image;
    image.bytes().fill(0xFF);
    BasicSettings settings;
    settings.unpack(image);
    EXPECT_EQ(settings.smsc, "");
    EXPECT_EQ(settings.pin, "");
    EXPECT_EQ(settings.numbers[5], "");
    EXPECT_EQ(settings.balanceCheckCode, "");
    EXPECT_EQ(settings.reportHours, "0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23");
    settings.pack(image);
    EXPECT_EQ(bytesAt(image, slot("PIN")), std::string(8, '\0'));
    EXPECT_EQ(bytesAt(image, slot("NUM", 7)), std::string(16, '\0'));
    EXPECT_EQ(bytesAt(image, slot("URL2")), std::string(6, '\0'));
    EXPECT_EQ(image.u8(kSeventh), 0);
    EXPECT_EQ(image.u8(kEighth), 0);
    EXPECT_EQ(bytesAt(image, slot("RPTHR")), std::string("\xFF\xFF\xFF\x00", 4));
    EXPECT_EQ(image.u8(slot("MCFG1")), 0x3F);
    EXPECT_EQ(image.u8(slot("MCFG2")), 0xFF);
}

TEST(BasicSettings, FullWidthTextsHaveNoTerminator)
{
    SettingsImage image;
    image.bytes().fill(0xAA);
    BasicSettings settings;
    settings.unpack(image);
    settings.pin = "87654321";
    settings.numbers[4] = "+481234567890123";
    settings.smsc = "+48";
    settings.pack(image);
    EXPECT_EQ(bytesAt(image, slot("PIN")), "87654321");
    EXPECT_EQ(bytesAt(image, slot("NUM", 5)), "+481234567890123");
    EXPECT_EQ(bytesAt(image, slot("NUM", 0)), std::string("+48") + std::string(13, '\0'));
    BasicSettings reopened;
    reopened.unpack(image);
    EXPECT_EQ(reopened.pin, "87654321");
    EXPECT_EQ(reopened.numbers[4], "+481234567890123");
}

struct BalanceCodeRow {
    const char* name;
    std::string code;
    std::string field;
    std::uint8_t seventh;
    std::uint8_t eighth;
};

class BalanceCheckCode : public testing::TestWithParam<BalanceCodeRow> {};

TEST_P(BalanceCheckCode, IsSplitOverThreeFieldsAndReopensWhole)
{
    const BalanceCodeRow& row = GetParam();
    SettingsImage image;
    image.bytes().fill(0x55);
    BasicSettings settings;
    settings.unpack(image);
    settings.balanceCheckCode = row.code;
    settings.pack(image);
    EXPECT_EQ(bytesAt(image, slot("URL2")), row.field);
    EXPECT_EQ(image.u8(kSeventh), row.seventh);
    EXPECT_EQ(image.u8(kEighth), row.eighth);
    BasicSettings reopened;
    reopened.unpack(image);
    EXPECT_EQ(reopened.balanceCheckCode, row.code);
}

INSTANTIATE_TEST_SUITE_P(
    BasicSettings, BalanceCheckCode,
    testing::Values(BalanceCodeRow{"EightCharacters", "*101*12#", "*101*1", '2', '#'},
                    BalanceCodeRow{"SevenCharacters", "*100*1#", "*100*1", '#', 0},
                    BalanceCodeRow{"SixCharactersClearBytesSevenAndEight", "*101*#", "*101*#", 0, 0},
                    BalanceCodeRow{"ThreeCharactersArePaddedWithZeros", "*1#", std::string("*1#\0\0\0", 6), 0, 0},
                    BalanceCodeRow{"EmptyCode", "", std::string(6, '\0'), 0, 0}),
    test_support::RowName());

struct OpenedCodeRow {
    const char* name;
    std::uint8_t seventh;
    std::uint8_t eighth;
    std::string code;
};

class BalanceCheckCodeOpening : public testing::TestWithParam<OpenedCodeRow> {};

TEST_P(BalanceCheckCodeOpening, TakesTheEighthOnlyAfterASeventh)
{
    const OpenedCodeRow& row = GetParam();
    SettingsImage image;
    putBytes(image, slot("URL2"), "*101*1");
    image.setU8(kSeventh, row.seventh);
    image.setU8(kEighth, row.eighth);
    BasicSettings settings;
    settings.unpack(image);
    EXPECT_EQ(settings.balanceCheckCode, row.code);
}

INSTANTIATE_TEST_SUITE_P(BasicSettings, BalanceCheckCodeOpening,
                         testing::Values(OpenedCodeRow{"BothCharacters", '2', '#', "*101*12#"},
                                         OpenedCodeRow{"SeventhOnly", '2', 0x00, "*101*12"},
                                         OpenedCodeRow{"SeventhThenUnsetEighth", '2', 0xFF, "*101*12"},
                                         OpenedCodeRow{"NoSeventhHidesTheEighth", 0x00, '#', "*101*1"},
                                         OpenedCodeRow{"UnsetSeventhHidesTheEighth", 0xFF, '#', "*101*1"}),
                         test_support::RowName());

TEST(BasicSettings, UnsetNetworkCodeBecomesZeroInTheImageOnOpening)
{
    SettingsImage image;
    image.setU16(slot("COPS"), 0xFFFF);
    BasicSettings settings;
    settings.unpack(image);
    EXPECT_EQ(settings.networkCode, 0);
    EXPECT_EQ(image.u16(slot("COPS")), 0);
}

// A run of bytes at an offset of the image.
struct ImageBytes {
    int offset;
    std::string bytes;
};

ImageBytes at(const Slot& field, std::string bytes)
{
    return {field.offset, std::move(bytes)};
}

std::string u8(std::uint8_t value)
{
    return std::string(1, static_cast<char>(value));
}

std::string u16(std::uint16_t value)
{
    return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

struct StoredMembersRow {
    const char* name;
    std::vector<ImageBytes> opened; // on an image of zeros
    std::function<void(BasicSettings&)> edit;
    std::vector<ImageBytes> stored;
};

class StoredMembers : public testing::TestWithParam<StoredMembersRow> {};

TEST_P(StoredMembers, AreWrittenAsTheirBytes)
{
    const StoredMembersRow& row = GetParam();
    SettingsImage image;
    for (const ImageBytes& opened : row.opened)
        std::copy(opened.bytes.begin(), opened.bytes.end(), image.bytes().begin() + opened.offset);
    BasicSettings settings;
    settings.unpack(image);
    row.edit(settings);
    settings.pack(image);
    for (const ImageBytes& stored : row.stored) {
        const auto start = image.bytes().begin() + stored.offset;
        EXPECT_EQ(std::string(start, start + static_cast<std::ptrdiff_t>(stored.bytes.size())), stored.bytes)
            << "offset " << stored.offset;
    }
}

const auto kUnchanged = [](BasicSettings&) {};

INSTANTIATE_TEST_SUITE_P(
    BasicSettings, StoredMembers,
    testing::Values(StoredMembersRow{"NetworkCode65535IsStoredAsZero",
                                     {},
                                     [](BasicSettings& settings) { settings.networkCode = 65535; },
                                     {at(slot("COPS"), u16(0))}},
                    StoredMembersRow{"NetworkCode65534IsStoredAsItIs",
                                     {},
                                     [](BasicSettings& settings) { settings.networkCode = 65534; },
                                     {at(slot("COPS"), u16(65534))}},
                    StoredMembersRow{"MondayAndDayOffInTheThirdRowStore0x81",
                                     {at(slot("WKD", 1), u8(0x7F)), at(slot("WKD", 3), u8(0x7E))},
                                     [](BasicSettings& settings) { settings.days[2] = DayRow{1, 0, 0, 0, 0, 0, 0, 1}; },
                                     {{3387, u8(0x81)}, at(slot("WKD", 1), u8(0x7F)), at(slot("WKD", 2), u8(0x00))}},
                    StoredMembersRow{"Mcfg1KeepsOnlyItsSixBoxes",
                                     {at(slot("MCFG1"), u8(0xFF))},
                                     kUnchanged,
                                     {at(slot("MCFG1"), u8(0x3F))}},
                    StoredMembersRow{"Mcfg1IsRebuiltFromZero",
                                     {at(slot("MCFG1"), u8(0xFF))},
                                     [](BasicSettings& settings) {
                                         settings.pinActive = 0;
                                         settings.lcdSupport = 0;
                                     },
                                     {at(slot("MCFG1"), u8(0x1D))}},
                    StoredMembersRow{"Mcfg2KeepsTheBitsOfOtherEditors",
                                     {at(slot("MCFG2"), u8(0xFF))},
                                     [](BasicSettings& settings) {
                                         settings.reportAfterC1Change = 0;
                                         settings.loggingOnlyInWakingHours = 0;
                                         settings.loggingFasterInAlarmState = 0;
                                     },
                                     {at(slot("MCFG2"), u8(0x6D))}},
                    StoredMembersRow{"Mcfg2LoggingOnlyInWakingHoursIsItsOwnBit",
                                     {at(slot("MCFG2"), u8(0xFF))},
                                     [](BasicSettings& settings) {
                                         settings.reportAfterC1Change = 0;
                                         settings.loggingFasterInAlarmState = 0;
                                     },
                                     {at(slot("MCFG2"), u8(0x7D))}},
                    StoredMembersRow{"NumbersAreStoredInTheirFields",
                                     {},
                                     [](BasicSettings& settings) {
                                         settings.reportPeriodMinutes = 65535;
                                         settings.smsPerDay = 200;
                                         settings.loggingPeriodMinutes = 0;
                                         settings.balanceCheckHour = 23;
                                         settings.networkCode = 26003;
                                     },
                                     {at(slot("TRPT"), u16(65535)),
                                      at(slot("SLIM"), u8(200)),
                                      at(slot("LOGT"), u8(0)),
                                      at(slot("TGAC"), u8(23)),
                                      {3606, u16(26003)}}}),
    test_support::RowName());

TEST(BasicSettings, HourSetsReopenAsTheSameBitsWithTheFourthByteCleared)
{
    SettingsImage image;
    putBytes(image, slot("RPTHR"), std::string("\x81\x00\x10\xEE", 4));
    putBytes(image, slot("GRDHR"), std::string("\x00\x00\x80\x77", 4));
    BasicSettings settings;
    settings.unpack(image);
    EXPECT_EQ(settings.wakingHours, "23");
    settings.pack(image);
    EXPECT_EQ(bytesAt(image, slot("RPTHR")), std::string("\x81\x00\x10\x00", 4));
    EXPECT_EQ(bytesAt(image, slot("GRDHR")), std::string("\x00\x00\x80\x00", 4));
    settings.reportHours = "24;1 2x25,-5";
    settings.wakingHours = "";
    settings.pack(image);
    EXPECT_EQ(bytesAt(image, slot("RPTHR")), std::string("\x27\x00\x00\x00", 4));
    EXPECT_EQ(bytesAt(image, slot("GRDHR")), std::string(4, '\0'));
}

TEST(BasicSettings, OperatorTableHoldsTheFourSmsCentres)
{
    ASSERT_EQ(kSmsCentres.size(), 4u);
    EXPECT_EQ(kSmsCentres[0].operatorName, "T-Mobile");
    EXPECT_EQ(kSmsCentres[0].number, "+48602951111");
    EXPECT_EQ(kSmsCentres[1].number, "+48501200777");
    EXPECT_EQ(kSmsCentres[2].operatorName, "Plus");
    EXPECT_EQ(kSmsCentres[2].number, "+48601000310");
    EXPECT_EQ(kSmsCentres[3].number, "+48790998250");
}

} // namespace
} // namespace telvor
