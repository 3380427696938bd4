#include "operations/write_rows.h"
#include "support/key_lists.h"
#include "support/row_name.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace telvor {
namespace {

using test_support::joined;
using test_support::numbered;
using testing::ElementsAre;
using testing::ElementsAreArray;

constexpr int kNone = Field::kNotIndexed;

FirmwareVersion version(int number, int extended = 0, char model = 0)
{
    return FirmwareVersion{number, extended, model};
}

// The line a write sends whose first key is `key`, from a device that
// acknowledges everything.
std::string lineStarting(const SettingsImage& image, const FirmwareVersion& firmware, const std::string& key)
{
    for (const std::string& line : writeLinesFor(image, firmware))
        if (line.rfind(key + "=", 0) == 0)
            return line;
    return "(no " + key + " line)";
}

// Each line by its first key, "HALT!" as itself.
std::vector<std::string> firstKeys(const SettingsImage& image, const FirmwareVersion& firmware)
{
    std::vector<std::string> keys;
    for (const std::string& line : writeLinesFor(image, firmware))
        keys.push_back(line.substr(0, line.find('=')));
    return keys;
}

const std::vector<std::string> kAnyVersion
    = joined({{"PIN", "NUM2", "NUM4", "TRPT", "RCFG", "MCFG1", "RPTHR", "ALMD", "HALT!"},
              numbered("SMS", 0, 9),
              {"HALT!"},
              numbered("ICFG", 1, 8),
              {"HALT!"},
              numbered("OCFG", 1, 6)});

TEST(WriteLines, OfAnEmptyImageWithoutVersionAreTheBasicGroupsOnly)
{
    const SettingsImage image;
    EXPECT_THAT(writeLinesFor(image, version(0)),
                ElementsAreArray(joined(
                    {{"PIN= NUM0= NUM1=",
                      "NUM2= NUM3=",
                      "NUM4= NUM5=",
                      "TRPT=0 SCFG=0 HIST1=0 HIST2=0",
                      "RCFG=0,0,0 CLIP=0,0 CTRL=0,0 CSDC=0",
                      "MCFG1=0 SLIM=0",
                      "RPTHR=000,000,000",
                      "ALMD=000,000 COPS=0",
                      "HALT!",
                      "SMS0=",
                      "SMS1=",
                      "SMS2=",
                      "SMS3=",
                      "SMS4=",
                      "SMS5=",
                      "SMS6=",
                      "SMS7=",
                      "SMS8=",
                      "SMS9=",
                      "HALT!"},
                     {"ICFG1=0 ULO1=0 UHI1=0 SCFG1=0", "ICFG2=0 ULO2=0 UHI2=0 SCFG2=0", "ICFG3=0 ULO3=0 UHI3=0 SCFG3=0",
                      "ICFG4=0 ULO4=0 UHI4=0 SCFG4=0", "ICFG5=0 ULO5=0 UHI5=0 SCFG5=0", "ICFG6=0 ULO6=0 UHI6=0 SCFG6=0",
                      "ICFG7=0 ULO7=0 UHI7=0 SCFG7=0", "ICFG8=0 ULO8=0 UHI8=0 SCFG8=0", "HALT!", "OCFG1=0", "OCFG2=0",
                      "OCFG3=0", "OCFG4=0", "OCFG5=0", "OCFG6=0"}})));
}

struct SelectionCase {
    const char* name;
    FirmwareVersion firmware;
    int extendedLines; // MCFG2 bit 0
    int http;          // THTP
    std::vector<std::string> keys;
};

class WriteSelection : public testing::TestWithParam<SelectionCase> {};

TEST_P(WriteSelection, SendsTheGroupsOfTheVersion)
{
    const SelectionCase& row = GetParam();
    SettingsImage image;
    image.setNumber(slot("MCFG2"), row.extendedLines);
    image.setNumber(slot("THTP"), row.http);
    EXPECT_THAT(firstKeys(image, row.firmware), ElementsAreArray(row.keys));
}

const std::vector<std::string> kFrom22 = joined({kAnyVersion, {"LOGT", "GRDHR", "ADEL1", "ADEL5", "HALT!"}});
const std::vector<std::string> kXcfgGroup = {"HALT!", "XCFG1", "XCFG7", "XCFG13"};
const std::vector<std::string> kLateGroup = joined({{"NUM6", "NUM9", "ATIM"}, numbered("ECFG", 1, 8)});

INSTANTIATE_TEST_SUITE_P(
    VersionClasses, WriteSelection,
    testing::Values(
        SelectionCase{"NoVersion", version(0), 1, 1, kAnyVersion},
        SelectionCase{"Version18", version(0x18, 1), 1, 1, kAnyVersion},
        SelectionCase{"Version19", version(0x19, 1), 1, 1, joined({kAnyVersion, {"LOGT", "GRDHR"}})},
        SelectionCase{"Version20", version(0x20), 1, 1,
                      joined({kAnyVersion, {"LOGT", "GRDHR", "HALT!"}, numbered("APN", 0, 2)})},
        SelectionCase{"Version20Extended", version(0x20, 1), 1, 1,
                      joined({kAnyVersion,
                              {"LOGT", "GRDHR", "HALT!"},
                              numbered("APN", 0, 6),
                              numbered("EAD", 0, 5),
                              {"SEML1", "SEML5", "SLOG"}})},
        SelectionCase{"Version22", version(0x22), 0, 0, joined({kFrom22, numbered("APN", 0, 2)})},
        SelectionCase{"Version25ExtendedLinesOff", version(0x25), 0, 0,
                      joined({kFrom22, numbered("APN", 0, 2), {"MCFG2"}})},
        SelectionCase{"Version25ExtendedLinesOn", version(0x25), 1, 0,
                      joined({kFrom22, numbered("APN", 0, 2), {"MCFG2"}, kXcfgGroup, numbered("XMS", 1, 17)})},
        SelectionCase{"Version26", version(0x26), 0, 1,
                      joined({kFrom22, numbered("APN", 0, 2), {"MCFG2"}, kLateGroup})},
        SelectionCase{"Version27WithoutHttp", version(0x27), 0, 0,
                      joined({kFrom22, numbered("APN", 0, 2), {"MCFG2"}, kLateGroup, {"THTP", "URL2"}})},
        SelectionCase{"Version27HttpOff255", version(0x27), 0, 255,
                      joined({kFrom22, numbered("APN", 0, 2), {"MCFG2"}, kLateGroup, {"THTP", "URL2"}})},
        SelectionCase{
            "Version27WithHttp", version(0x27), 0, 1,
            joined({kFrom22, numbered("APN", 0, 2), {"MCFG2"}, kLateGroup, {"THTP", "URL0", "URL1", "URL2"}})},
        SelectionCase{"Version28ExtendedLinesOn", version(0x28), 1, 0,
                      joined({kFrom22,
                              numbered("APN", 0, 2),
                              {"MCFG2"},
                              kXcfgGroup,
                              {"XTYP1"},
                              numbered("XMS", 1, 17),
                              kLateGroup,
                              {"THTP", "URL2"}})},
        SelectionCase{"Version36Extended", version(0x36, 1), 1, 2,
                      joined({kFrom22,
                              numbered("APN", 0, 6),
                              numbered("EAD", 0, 5),
                              {"SEML1", "SEML5", "SLOG", "MCFG2"},
                              kXcfgGroup,
                              {"XTYP1"},
                              numbered("XMS", 1, 17),
                              kLateGroup,
                              {"THTP", "URL0", "URL1", "URL2", "WKD1"}})}),
    test_support::RowName());

TEST(WriteLines, EveryGroupMakesNinetyFiveLinesWithFiveHalts)
{
    SettingsImage image;
    image.setNumber(slot("MCFG2"), 1);
    image.setNumber(slot("THTP"), 1);
    const std::vector<std::string> lines = writeLinesFor(image, version(0x36, 1));
    EXPECT_EQ(lines.size(), 95u);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "HALT!"), 5);
}

SettingsImage sampleImage()
{
    SettingsImage image;
    image.setText(slot("NUM", 0), "+48601000001");
    image.setText(slot("NUM", 3), "1234567890123456");
    image.setText(slot("NUM", 4), "999");
    image.setNumber(slot("TRPT"), 65535);
    image.setNumber(slot("SCFG"), 17);
    image.setNumber(slot("HIST1"), 3);
    image.setNumber(slot("HIST2"), 250);
    image.setNumber(slot("RCFG"), 1);
    image.setNumber(slot("RCFG", kNone, 2), 2);
    image.setNumber(slot("RCFG", kNone, 3), 3);
    image.setNumber(slot("CLIP"), 4);
    image.setNumber(slot("CLIP", kNone, 2), 5);
    image.setNumber(slot("CTRL"), 6);
    image.setNumber(slot("CTRL", kNone, 2), 7);
    image.setNumber(slot("CSDC"), 200);
    image.setNumber(slot("MCFG1"), 129);
    image.setNumber(slot("SLIM"), 40);
    image.bytesOf(slot("RPTHR"))[0] = 1;
    image.bytesOf(slot("RPTHR"))[1] = 0;
    image.bytesOf(slot("RPTHR"))[2] = 128;
    image.bytesOf(slot("RPTHR"))[3] = 99;
    image.setNumber(slot("ALMD"), 7);
    image.setNumber(slot("ALMD", kNone, 2), 200);
    image.setNumber(slot("COPS"), 26001);
    image.bytesOf(slot("GRDHR"))[0] = 255;
    image.bytesOf(slot("GRDHR"))[2] = 7;
    image.setText(slot("SMS", 0), "a b,c=d @T");
    image.setText(slot("SMS", 9), std::string(160, 'Z'));
    image.setNumber(slot("ICFG", 2), 255);
    image.setNumber(slot("ULO", 2), 1000);
    image.setNumber(slot("UHI", 2), 65534);
    image.setNumber(slot("SCFG", 2), 9);
    image.setNumber(slot("OCFG", 6), 66);
    image.setNumber(slot("ADEL", 4), 12);
    image.setNumber(slot("ADEL", 5), 34);
    image.setNumber(slot("SEML", 8), 128);
    image.setNumber(slot("SLOG"), 5);
    image.setNumber(slot("SLGT"), 6);
    image.setNumber(slot("MCFG2"), 1);
    image.setNumber(slot("SXML"), 3);
    image.setNumber(slot("XCFG", 1), 11);
    image.setNumber(slot("XCFG", 12), 12);
    image.setNumber(slot("XCFG", 17), 17);
    image.setNumber(slot("XTYP1"), 3);
    image.setNumber(slot("XLO1"), 1000);
    image.setNumber(slot("XHI1"), 65535);
    image.setNumber(slot("XTYP9"), 4);
    image.setNumber(slot("XHI9"), 12);
    image.setText(slot("XMS", 17), "Energy meter");
    image.setText(slot("NUM", 10), "112");
    image.setNumber(slot("ATIM"), 30);
    image.setNumber(slot("ECFG", 3), 9);
    image.setS16(slot("SCLA", 3), -5);
    image.setS16(slot("SCLB", 3), 32767);
    image.setS16(slot("SCLB", 8), -32768);
    image.setNumber(slot("THTP"), 2);
    image.setNumber(slot("NUID"), 40000);
    image.setNumber(slot("TGAC"), 9);
    image.setText(slot("URL0"), "example.org");
    image.setText(slot("URL2"), "*101#A");
    image.setNumber(slot("URL2", kNone, 7), 'B');
    image.setNumber(slot("URL2", kNone, 8), 'C');
    image.setNumber(slot("WKD", 1), 1);
    image.setNumber(slot("WKD", 3), 127);
    return image;
}

struct LineCase {
    const char* name;
    std::string key;
    std::string line;
};

class WriteLine : public testing::TestWithParam<LineCase> {};

TEST_P(WriteLine, CarriesTheImageValuesInItsFormat)
{
    EXPECT_EQ(lineStarting(sampleImage(), version(0x36, 1), GetParam().key), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WriteLine,
    testing::Values(
        LineCase{"EmptyPinStandsBeforeTheBlank", "PIN", "PIN= NUM0=+48601000001 NUM1="},
        LineCase{"FullWidthNumberTakesNothingOfTheNext", "NUM2", "NUM2= NUM3=1234567890123456"},
        LineCase{"SixteenBitReportPeriod", "TRPT", "TRPT=65535 SCFG=17 HIST1=3 HIST2=250"},
        LineCase{"MultiValueKeys", "RCFG", "RCFG=1,2,3 CLIP=4,5 CTRL=6,7 CSDC=200"},
        LineCase{"LimitLine", "MCFG1", "MCFG1=129 SLIM=40"},
        LineCase{"HourBytesPaddedToThreeDigits", "RPTHR", "RPTHR=001,000,128"},
        LineCase{"AlarmDelaysPaddedOperatorNot", "ALMD", "ALMD=007,200 COPS=26001"},
        LineCase{"TextSentUnchanged", "SMS0", "SMS0=a b,c=d @T"},
        LineCase{"FullWidthBody", "SMS9", "SMS9=" + std::string(160, 'Z')},
        LineCase{"InputLine", "ICFG2", "ICFG2=255 ULO2=1000 UHI2=65534 SCFG2=9"},
        LineCase{"OutputLine", "OCFG6", "OCFG6=66"}, LineCase{"GuardHours", "GRDHR", "GRDHR=255,000,007"},
        LineCase{"AlarmDelaysOneToFour", "ADEL1", "ADEL1=0 ADEL2=0 ADEL3=0 ADEL4=12"},
        LineCase{"AlarmDelaysFiveToEight", "ADEL5", "ADEL5=34 ADEL6=0 ADEL7=0 ADEL8=0"},
        LineCase{"MailFlags", "SEML5", "SEML5=0 SEML6=0 SEML7=0 SEML8=128"},
        LineCase{"MailLog", "SLOG", "SLOG=5 SLGT=6"}, LineCase{"SecondConfiguration", "MCFG2", "MCFG2=1 SXML=3"},
        LineCase{"ExtendedLinesOneToSix", "XCFG1", "XCFG1=11 XCFG2=0 XCFG3=0 XCFG4=0 XCFG5=0 XCFG6=0"},
        LineCase{"ExtendedLinesSevenToTwelve", "XCFG7", "XCFG7=0 XCFG8=0 XCFG9=0 XCFG10=0 XCFG11=0 XCFG12=12"},
        LineCase{"ExtendedLinesThirteenOn", "XCFG13", "XCFG13=0 XCFG14=0 XCFG15=0 XCFG16=0 XCFG17=17"},
        LineCase{"MeterTypes", "XTYP1", "XTYP1=3 XLO1=1000 XHI1=65535 XTYP9=4 XLO9=0 XHI9=12"},
        LineCase{"ExtendedLineBody", "XMS17", "XMS17=Energy meter"}, LineCase{"LateNumbers", "NUM9", "NUM9= NUM10=112"},
        LineCase{"AnswerTime", "ATIM", "ATIM=30"}, LineCase{"NegativeScale", "ECFG3", "ECFG3=9 SCLA3=-5 SCLB3=32767"},
        LineCase{"SmallestScale", "ECFG8", "ECFG8=0 SCLA8=0 SCLB8=-32768"},
        LineCase{"Http", "THTP", "THTP=2 NUID=40000 TGAC=9"}, LineCase{"HttpServer", "URL0", "URL0=example.org"},
        LineCase{"EightCharacterBalanceCode", "URL2", "URL2=*101#ABC"},
        LineCase{"WeekDays", "WKD1", "WKD1=1 WKD2=0 WKD3=127"}),
    test_support::RowName());

struct BalanceCase {
    const char* name;
    int versionNumber;
    std::uint8_t seventh;
    std::uint8_t eighth;
    std::string line;
};

class BalanceCodeLine : public testing::TestWithParam<BalanceCase> {};

TEST_P(BalanceCodeLine, AppendsOnlyRealCharacters)
{
    const BalanceCase& row = GetParam();
    SettingsImage image;
    image.setText(slot("URL2"), "*101#A");
    image.setNumber(slot("URL2", kNone, 7), row.seventh);
    image.setNumber(slot("URL2", kNone, 8), row.eighth);
    EXPECT_EQ(lineStarting(image, version(row.versionNumber), "URL2"), row.line);
}

INSTANTIATE_TEST_SUITE_P(Characters, BalanceCodeLine,
                         testing::Values(BalanceCase{"EightOnVersion36", 0x36, 'B', 'C', "URL2=*101#ABC"},
                                         BalanceCase{"SixOnlyOnVersion35", 0x35, 'B', 'C', "URL2=*101#A"},
                                         BalanceCase{"SeventhWithoutEighth", 0x36, 'B', 0x00, "URL2=*101#AB"},
                                         BalanceCase{"EighthFFIsNoCharacter", 0x36, 'B', 0xFF, "URL2=*101#AB"},
                                         BalanceCase{"SeventhFFIsNoCharacter", 0x36, 0xFF, 'C', "URL2=*101#A"},
                                         BalanceCase{"SeventhAbove7FIsNotSent", 0x36, 0x80, 'C', "URL2=*101#A"},
                                         BalanceCase{"NoSeventhNoEighth", 0x36, 0x00, 'C', "URL2=*101#A"},
                                         BalanceCase{"EighthAbove7FIsSent", 0x36, 'B', 0xA5, "URL2=*101#AB\xA5"}),
                         test_support::RowName());

TEST(WriteLines, ShortBalanceCodeEndsAtItsTerminator)
{
    SettingsImage image;
    image.setText(slot("URL2"), "*10");
    EXPECT_EQ(lineStarting(image, version(0x27), "URL2"), "URL2=*10");
}

TEST(WriteRows, EveryValueNamesAFieldOfTheImage)
{
    for (const WriteRow& row : writeRows()) {
        const int first = row.indexed() ? row.firstIndex : kNone;
        const int last = row.indexed() ? std::max(row.lastIndex, row.lastIndexExtended) : kNone;
        for (int index = first; index <= last; ++index)
            for (const LineValue& value : row.lineValues()) {
                if (value.kind != LineValue::Kind::Index) {
                    EXPECT_NO_THROW(slotOf(value, index)) << row.format << " at " << index;
                }
            }
    }
}

TEST(WriteRows, FailureTextsNameTheFirstKeyOfTheLine)
{
    for (const WriteRow& row : writeRows()) {
        if (row.kind != WriteRow::Kind::Line && row.kind != WriteRow::Kind::MessageBody)
            continue;
        const std::string format(row.format);
        const std::string firstKey = format.substr(0, format.find('='));
        EXPECT_EQ(row.box, "No answer from device (" + firstKey + ")") << format;
    }
}

} // namespace
} // namespace telvor
