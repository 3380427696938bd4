#include "image/answer_lines.h"

#include "image/answer_keys.h"
#include "support/row_name.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace telvor {
namespace {

using Lines = std::vector<std::string>;

TEST(AnswerLines, ZeroImageGivesEmptyTextsAndZeroNumbers)
{
    const SettingsImage image;
    EXPECT_EQ(answerLines("PIN", image), Lines{"PIN="});
    EXPECT_EQ(answerLines("TRPT", image), Lines{"TRPT=0"});
    EXPECT_EQ(answerLines("ULOx", image), Lines{"ULOx=0,0,0,0,0,0,0,0"});
    EXPECT_EQ(answerLines("RCFG", image), Lines{"RCFG=00,00,00"});
    EXPECT_EQ(answerLines("URL2", image), Lines{"URL2="});
}

TEST(AnswerLines, NumbersFollowTheirFieldsEncoding)
{
    SettingsImage image;
    image.setU16(slot("TRPT"), 65535);
    image.setS16(slot("SCLB", 1), -1200);
    image.setS16(slot("SCLA", 8), 32767);
    image.setU16(slot("UHI", 3), 4095);
    image.setU8(slot("ICFG", 8), 255);
    image.setU16(slot("COPS"), 26001);
    image.bytes()[slot("RPTHR").offset + 3] = 0x7F;
    image.bytes()[slot("RPTHR").offset + 0] = 0x81;
    image.bytes()[slot("GRDHR").offset + 2] = 0xFF;
    image.setU8(slot("ALMD", Field::kNotIndexed, 2), 12);
    image.setU8(slot("WKD", 3), 128);
    image.setU8(slot("XCFG", 17), 9);
    EXPECT_EQ(answerLines("TRPT", image), Lines{"TRPT=65535"});
    EXPECT_EQ(answerLines("SCLBx", image), Lines{"SCLBx=-1200,0,0,0,0,0,0,0"});
    EXPECT_EQ(answerLines("SCLAx", image), Lines{"SCLAx=0,0,0,0,0,0,0,32767"});
    EXPECT_EQ(answerLines("UHIx", image), Lines{"UHIx=0,0,4095,0,0,0,0,0"});
    EXPECT_EQ(answerLines("ICFGx", image), Lines{"ICFGx=0,0,0,0,0,0,0,255"});
    EXPECT_EQ(answerLines("COPS", image), Lines{"COPS=26001"});
    EXPECT_EQ(answerLines("RPTHR", image), Lines{"RPTHR=129,0,0"});
    EXPECT_EQ(answerLines("GRDHR", image), Lines{"GRDHR=0,0,255"});
    EXPECT_EQ(answerLines("ALMD", image), Lines{"ALMD=0,12"});
    EXPECT_EQ(answerLines("WKDx", image), Lines{"WKDx=0,0,128"});
    EXPECT_EQ(answerLines("XCFGx", image), Lines{"XCFGx=0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,9"});
}

TEST(AnswerLines, FixedPositionValuesAreTwoDigitFieldsByVersion)
{
    SettingsImage image;
    image.setU8(slot("RCFG"), 3);
    image.setU8(slot("RCFG", Field::kNotIndexed, 2), 5);
    image.setU8(slot("RCFG", Field::kNotIndexed, 3), 17);
    image.setU8(slot("CLIP"), 159);
    image.setU8(slot("CLIP", Field::kNotIndexed, 2), 5);
    image.setU8(slot("CTRL"), 1);
    image.setU8(slot("CTRL", Field::kNotIndexed, 2), 31);
    EXPECT_EQ(answerLines("RCFG", image, 31), Lines{"RCFG=03"});
    EXPECT_EQ(answerLines("RCFG", image, 32), Lines{"RCFG=03,05"});
    EXPECT_EQ(answerLines("RCFG", image, 38), Lines{"RCFG=03,05,17"});
    EXPECT_EQ(answerLines("CLIP", image, 37), Lines{"CLIP=159"});
    EXPECT_EQ(answerLines("CLIP", image, 38), Lines{"CLIP=159,05"});
    EXPECT_EQ(answerLines("CTRL", image), Lines{"CTRL=01,31"});
}

TEST(AnswerLines, TextsEndAtTheFirstZeroOrTheFieldsWidth)
{
    SettingsImage image;
    image.setText(slot("NUM", 3), "+48123456789012345");
    image.setText(slot("NUM", 4), "112");
    image.setText(slot("PIN"), "1234");
    image.bytes()[slot("PIN").offset + 6] = 'X';
    EXPECT_EQ(answerLines("NUM3", image), Lines{"NUM3=+481234567890123"});
    EXPECT_EQ(answerLines("NUM4", image), Lines{"NUM4=112"});
    EXPECT_EQ(answerLines("PIN", image), Lines{"PIN=1234"});
}

TEST(AnswerLines, NumberedTextsGiveOneLinePerElement)
{
    SettingsImage image;
    image.setText(slot("SMS", 1), "Alarm L1: @UL @SL");
    image.setText(slot("APN", 6), "Telvor");
    image.setText(slot("XMS", 17), "Link lost");
    const Lines sms = answerLines("SMS", image);
    ASSERT_EQ(sms.size(), 10u);
    EXPECT_EQ(sms[0], "SMS0=");
    EXPECT_EQ(sms[1], "SMS1=Alarm L1: @UL @SL");
    EXPECT_EQ(sms[9], "SMS9=");
    const Lines apn = answerLines("APN", image);
    ASSERT_EQ(apn.size(), 7u);
    EXPECT_EQ(apn[6], "APN6=Telvor");
    EXPECT_EQ(answerLines("EAD", image).size(), 6u);
    const Lines xms = answerLines("XMS", image);
    ASSERT_EQ(xms.size(), 17u);
    EXPECT_EQ(xms[0], "XMS1=");
    EXPECT_EQ(xms[16], "XMS17=Link lost");
}

struct BalanceCodeRow {
    const char* name;
    const char* firstSix;
    std::uint8_t seventh;
    std::uint8_t eighth;
    int versionNumber;
    const char* line;
};

class BalanceCodeLines : public testing::TestWithParam<BalanceCodeRow> {};

TEST_P(BalanceCodeLines, CarryCharactersSevenAndEightOnlyWhenPresent)
{
    const BalanceCodeRow& row = GetParam();
    SettingsImage image;
    image.setText(slot("URL2"), row.firstSix);
    image.setU8(kBalanceCodeSeventh, row.seventh);
    image.setU8(kBalanceCodeEighth, row.eighth);
    EXPECT_EQ(answerLines("URL2", image, row.versionNumber), Lines{row.line});
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BalanceCodeLines,
    testing::Values(BalanceCodeRow{"EightCharacters", "*101*1", '2', '#', 0x36, "URL2=*101*12#"},
                    BalanceCodeRow{"SevenCharacters", "*101*1", '#', 0x00, 0x36, "URL2=*101*1#"},
                    BalanceCodeRow{"EighthWithoutSeventh", "*101*1", 0x00, '#', 0x36, "URL2=*101*1"},
                    BalanceCodeRow{"ErasedBytesAreNone", "*101*1", 0xFF, 0xFF, 0x36, "URL2=*101*1"},
                    BalanceCodeRow{"EighthAfterErasedSeventh", "*101*1", 0xFF, '#', 0x36, "URL2=*101*1"},
                    BalanceCodeRow{"OlderVersionSixOnly", "*101*1", '2', '#', 0x35, "URL2=*101*1"},
                    BalanceCodeRow{"ShortCodeEndsTheText", "*100#", '2', '#', 0x36, "URL2=*100#"}),
    test_support::RowName());

TEST(AnswerLines, UnknownKeysGiveNothing)
{
    const SettingsImage image;
    EXPECT_THAT(answerLines("ICFG1", image), testing::IsEmpty());
    EXPECT_THAT(answerLines("PIN=", image), testing::IsEmpty());
    EXPECT_THAT(answerLines("", image), testing::IsEmpty());
    EXPECT_THAT(answerLines("SMS3", image), testing::IsEmpty());
}

TEST(AnswerLines, EveryKeyAnswersWithItsOwnName)
{
    const SettingsImage image;
    for (const AnswerKey& key : kAnswerKeys) {
        const Lines lines = answerLines(key.name(), image);
        ASSERT_FALSE(lines.empty()) << key.name();
        for (const std::string& line : lines)
            EXPECT_TRUE(line.starts_with(key.name())) << line;
    }
}

} // namespace
} // namespace telvor
