#include "image/settings_parser.h"

#include "image/field_value.h"
#include "support/parsed_fields.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

#include <utility>

namespace telvor {
namespace {

constexpr std::uint8_t kFill = 0xAA;

struct Expected {
    const char* field; // as diff names it: "ICFG3", "RCFG.2", "URL2.7"
    std::string value; // as diff shows it
};

struct ParseRow {
    const char* name;
    std::string text;
    int versionNumber;
    std::vector<Expected> expected; // every other byte keeps the fill
};

std::string repeated(char character, std::size_t count)
{
    return std::string(count, character);
}

const std::string kFilled = std::to_string(kFill);

const ParseRow kRows[] = {
    {"EmptyTextChangesNothing", "", 0x36, {}},
    {"ListAfterListKey",
     "ICFGx=1,2,3,4,5,6,7,8\r\n",
     0x36,
     {{"ICFG1", "1"},
      {"ICFG2", "2"},
      {"ICFG3", "3"},
      {"ICFG4", "4"},
      {"ICFG5", "5"},
      {"ICFG6", "6"},
      {"ICFG7", "7"},
      {"ICFG8", "8"}}},
    {"ListAfterElementKeyIsNoKey", "ICFG1=1,2,3,4,5,6,7,8\r\n", 0x36, {}},
    {"RcfgThreeValuesFrom38", "RCFG=03,05,07", 38, {{"RCFG", "3"}, {"RCFG.2", "5"}, {"RCFG.3", "7"}}},
    {"RcfgOneValueBefore32", "RCFG=03,05,07", 31, {{"RCFG", "3"}, {"RCFG.2", "0"}, {"RCFG.3", "0"}}},
    {"RcfgTwoValuesFrom32", "RCFG=03,05,07", 32, {{"RCFG", "3"}, {"RCFG.2", "5"}, {"RCFG.3", "0"}}},
    {"ClipOneCharacterFieldsGiveOneValue", "CLIP=3,5\r", 38, {{"CLIP", "3"}, {"CLIP.2", "0"}}},
    {"ClipTwoCharacterFieldsGiveBoth", "CLIP=03,05", 38, {{"CLIP", "3"}, {"CLIP.2", "5"}}},
    {"ClipThreeCharacterFlagMovesTheNextValue", "CLIP=159,05\r\n", 38, {{"CLIP", "159"}, {"CLIP.2", "5"}}},
    {"ClipSecondValueBefore38", "CLIP=03,05", 37, {{"CLIP", "3"}, {"CLIP.2", "0"}}},
    {"CtrlThreeCharacterFlagThenSingleDigit", "CTRL=255,7\r", 38, {{"CTRL", "255"}, {"CTRL.2", "7"}}},
    {"RcfgThreeCharacterMiddleValue", "RCFG=01,255,07\r\n", 38, {{"RCFG", "1"}, {"RCFG.2", "255"}, {"RCFG.3", "7"}}},
    {"RcfgThreeCharacterValueWithoutComma", "RCFG=159\r\nRPT", 38, {{"RCFG", "159"}, {"RCFG.2", "0"}, {"RCFG.3", "0"}}},
    {"RcfgUnreadableFirstValueKeepsIt", "RCFG=xx,05,07", 38, {{"RCFG", kFilled}, {"RCFG.2", "5"}, {"RCFG.3", "7"}}},
    {"ClipEndsAfterFirstValue", "CLIP=03", 38, {{"CLIP", "3"}, {"CLIP.2", "0"}}},
    {"ClipEndsAfterThreeCharacterValue", "CLIP=159", 38, {{"CLIP", "159"}, {"CLIP.2", "0"}}},
    {"ClipEndsAfterComma", "CLIP=159,", 38, {{"CLIP", "159"}, {"CLIP.2", "0"}}},
    {"TextLongerThanItsFieldIsCutAndTheRestScanned",
     "SMS3=" + repeated('a', 160) + "xxxxTRPT=5\rzz" + repeated('b', 27),
     0x36,
     {{"SMS3", repeated('a', 160)}, {"TRPT", "5"}}},
    {"ExtendedBodyTwelve", "XMS12=Meter fault\r\n", 0x36, {{"XMS12", "Meter fault"}}},
    {"ExtendedBodyOne", "XMS1=A\r\nXMS17=B", 0x36, {{"XMS1", "A"}, {"XMS17", "B"}}},
    {"ExtendedBodyZeroStoresNothing", "XMS0=TRPT=7\r\n", 0x36, {{"TRPT", "7"}}},
    {"ExtendedBodyEighteenStoresNothing", "XMS18=TRPT=7\r\n", 0x36, {{"TRPT", "7"}}},
    {"ExtendedBodyWithLeadingZeroStoresNothing", "XMS01=x", 0x36, {}},
    {"ExtendedBodyWithoutDigitIsNoKey", "XMSa=TRPT=1", 0x36, {{"TRPT", "1"}}},
    {"ExtendedBodyEndsAfterNumber", "XMS1", 0x36, {}},
    {"ExtendedBodyWithHugeNumber", "XMS99999999999999999999999=x", 0x36, {}},
    {"BalanceCodeSevenCharacters", "URL2=*101*1#\r\n", 0x36, {{"URL2", "*101*1"}, {"URL2.7", "#"}, {"URL2.8", ""}}},
    {"BalanceCodeEightCharacters", "URL2=*101*12#\r\n", 0x36, {{"URL2", "*101*1"}, {"URL2.7", "2"}, {"URL2.8", "#"}}},
    {"BalanceCodeFourCharacters", "URL2=*100\r\n", 0x36, {{"URL2", "*100"}, {"URL2.7", ""}, {"URL2.8", ""}}},
    {"BalanceCodeSixCharactersCrIsNotPassedOver",
     "URL2=*101*1\rTRPT=9\r",
     0x36,
     {{"URL2", "*101*1"}, {"URL2.7", ""}, {"URL2.8", ""}, {"TRPT", "9"}}},
    {"BalanceCodeSevenCharactersCrIsNotPassedOver",
     "URL2=*101*1#\rTRPT=9\r",
     0x36,
     {{"URL2", "*101*1"}, {"URL2.7", "#"}, {"URL2.8", ""}, {"TRPT", "9"}}},
    {"BalanceCodeLongerThanEightLeavesTheRestToTheScan",
     "URL2=*101*12#TRPT=4",
     0x36,
     {{"URL2", "*101*1"}, {"URL2.7", "2"}, {"URL2.8", "#"}, {"TRPT", "4"}}},
    {"BalanceCodeEndsAfterSix", "URL2=*101*1", 0x36, {{"URL2", "*101*1"}, {"URL2.7", ""}, {"URL2.8", ""}}},
    {"BalanceCodeEndsAfterSeven", "URL2=*101*1#", 0x36, {{"URL2", "*101*1"}, {"URL2.7", "#"}, {"URL2.8", ""}}},
    {"BalanceCodeEmpty", "URL2=\r\n", 0x36, {{"URL2", ""}, {"URL2.7", ""}, {"URL2.8", ""}}},
    {"SixteenBitListLeavesTheNextList",
     "ULOx=1,2,3,4,5,6,7,8\r\n",
     0x36,
     {{"ULO1", "1"},
      {"ULO2", "2"},
      {"ULO3", "3"},
      {"ULO4", "4"},
      {"ULO5", "5"},
      {"ULO6", "6"},
      {"ULO7", "7"},
      {"ULO8", "8"}}},
    {"SixteenBitListLeavesTheByteLists",
     "ICFGx=9,9,9,9,9,9,9,9\r\nUHIx=1,2,3,4,5,6,7,65535\r\n",
     0x36,
     {{"UHI1", "1"},
      {"UHI2", "2"},
      {"UHI3", "3"},
      {"UHI4", "4"},
      {"UHI5", "5"},
      {"UHI6", "6"},
      {"UHI7", "7"},
      {"UHI8", "65535"},
      {"ICFG1", "9"},
      {"ICFG2", "9"},
      {"ICFG3", "9"},
      {"ICFG4", "9"},
      {"ICFG5", "9"},
      {"ICFG6", "9"},
      {"ICFG7", "9"},
      {"ICFG8", "9"}}},
    {"NumberCutToSixteenBits", "TRPT=70000\r\n", 0x36, {{"TRPT", "4464"}}},
    {"NumberCutToEightBits", "SLIM=300\r\n", 0x36, {{"SLIM", "44"}}},
    {"NegativeNumbersInSignedLists",
     "SCLBx=-1,-32768,32767,+5,0,0,0,-2\r\n",
     0x36,
     {{"SCLB1", "-1"},
      {"SCLB2", "-32768"},
      {"SCLB3", "32767"},
      {"SCLB4", "5"},
      {"SCLB5", "0"},
      {"SCLB6", "0"},
      {"SCLB7", "0"},
      {"SCLB8", "-2"}}},
    {"KeyCutShortByTheEnd", "NUM", 0x36, {}},
    {"UnreadableNumberKeepsTheField", "TRPT=abc\r\n", 0x36, {}},
    {"UnreadableCopsIsZero", "COPS=abc\r\n", 0x36, {{"COPS", "0"}}},
    {"CopsAtTheEndIsZero", "COPS=", 0x36, {{"COPS", "0"}}},
    {"CopsMinusOneIsAllOnes", "COPS=-1\r\n", 0x36, {{"COPS", "65535"}}},
    {"ListCutByTheEnd", "ULOx=1,2,3", 0x36, {{"ULO1", "1"}, {"ULO2", "2"}, {"ULO3", "3"}}},
    {"ListEndsAtUnreadableNumber", "ULOx=1,2,x,4,5,6,7,8", 0x36, {{"ULO1", "1"}, {"ULO2", "2"}}},
    {"ListAllowsBlanksAndLineBreaksAfterComma",
     "ADELx=1, 2,\r\n3,4,5,6,7,8",
     0x36,
     {{"ADEL1", "1"},
      {"ADEL2", "2"},
      {"ADEL3", "3"},
      {"ADEL4", "4"},
      {"ADEL5", "5"},
      {"ADEL6", "6"},
      {"ADEL7", "7"},
      {"ADEL8", "8"}}},
    {"ListEndsAtBlankBeforeComma", "SEMLx=1 ,2", 0x36, {{"SEML1", "1"}}},
    {"NumberAfterLineBreak", "TRPT=\r\n12", 0x36, {{"TRPT", "12"}}},
    {"TextCutAtItsWidthHasNoTerminator", "PIN=123456789\r\n", 0x36, {{"PIN", "12345678"}}},
    {"TextEndingWithTheText", "NUM2=+48600100200", 0x36, {{"NUM2", "+48600100200"}}},
    {"TextStopsAtZeroByte", std::string("PIN=12\0TRPT=5", 13), 0x36, {{"PIN", "12"}}},
    {"EmptyTextValue", "NUM0=\r\n", 0x36, {{"NUM0", ""}}},
    {"KeyInTheMiddleOfALine", "SET?\r\nOK SLIM=20\r\n", 0x36, {{"SLIM", "20"}}},
    {"KeysAreCaseSensitive", "trpt=5\r\n", 0x36, {}},
    {"HourSetLeavesItsFourthByte",
     "RPTHR=1,2,3\r\nGRDHR=255,0,128",
     0x36,
     {{"RPTHR", "1,2,3," + kFilled}, {"GRDHR", "255,0,128," + kFilled}}},
    {"AlarmConditionsTwoValues", "ALMD=3,250", 0x36, {{"ALMD", "3"}, {"ALMD.2", "250"}}},
    {"TimePlanDays", "WKDx=1,2,131", 0x36, {{"WKD1", "1"}, {"WKD2", "2"}, {"WKD3", "131"}}},
    {"NumberTenIsNotNumberOne", "NUM10=123\r\nNUM1=9", 0x36, {{"NUM10", "123"}, {"NUM1", "9"}}},
    {"InputSettingsAndSerialPortAreApart",
     "SCFG=7\r\nSCFGx=1,1,1,1,1,1,1,1",
     0x36,
     {{"SCFG", "7"},
      {"SCFG1", "1"},
      {"SCFG2", "1"},
      {"SCFG3", "1"},
      {"SCFG4", "1"},
      {"SCFG5", "1"},
      {"SCFG6", "1"},
      {"SCFG7", "1"},
      {"SCFG8", "1"}}},
    {"OutputListFillsSevenAndEight",
     "OCFGx=1,2,3,4,5,6,7,8",
     0x36,
     {{"OCFG1", "1"},
      {"OCFG2", "2"},
      {"OCFG3", "3"},
      {"OCFG4", "4"},
      {"OCFG5", "5"},
      {"OCFG6", "6"},
      {"OCFG7", "7"},
      {"OCFG8", "8"}}},
    {"NumberedTextsOutsideTheirRangeAreNoKeys", "APN7=x\r\nEAD6=y\r\nSMS9=z", 0x36, {{"SMS9", "z"}}},
    {"NumberedTextKeyEndsAfterDigit", "SMS9", 0x36, {}},
    {"MailTexts", "APN0=internet\r\nEAD5=a@b.c\r\n", 0x36, {{"APN0", "internet"}, {"EAD5", "a@b.c"}}},
    {"SeventeenNumbers",
     "XCFGx=1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17",
     0x36,
     {{"XCFG1", "1"},
      {"XCFG2", "2"},
      {"XCFG3", "3"},
      {"XCFG4", "4"},
      {"XCFG5", "5"},
      {"XCFG6", "6"},
      {"XCFG7", "7"},
      {"XCFG8", "8"},
      {"XCFG9", "9"},
      {"XCFG10", "10"},
      {"XCFG11", "11"},
      {"XCFG12", "12"},
      {"XCFG13", "13"},
      {"XCFG14", "14"},
      {"XCFG15", "15"},
      {"XCFG16", "16"},
      {"XCFG17", "17"}}},
    {"ExtendedLineThresholds",
     "XTYP1=2\r\nXLO1=100\r\nXHI1=200\r\nXTYP9=3\r\nXLO9=300\r\nXHI9=400",
     0x36,
     {{"XTYP1", "2"}, {"XLO1", "100"}, {"XHI1", "200"}, {"XTYP9", "3"}, {"XLO9", "300"}, {"XHI9", "400"}}},
    {"HttpFields",
     "THTP=12\r\nNUID=513\r\nTGAC=8\r\nURL0=example.invalid\r\nURL1=/t?u=@U\r\n",
     0x36,
     {{"THTP", "12"}, {"NUID", "513"}, {"TGAC", "8"}, {"URL0", "example.invalid"}, {"URL1", "/t?u=@U"}}},
};

class ParseSettings : public testing::TestWithParam<ParseRow> {};

TEST_P(ParseSettings, StoresExactlyTheExpectedFields)
{
    const ParseRow& row = GetParam();
    SettingsImage image;
    image.bytes().fill(kFill);
    parseSettings(row.text, image, row.versionNumber);

    std::vector<bool> expectedByte(kImageSize, false);
    for (const Expected& expected : row.expected) {
        const Slot element = namedSlot(expected.field);
        EXPECT_EQ(fieldValueText(image, element), expected.value) << expected.field;
        for (int byte = 0; byte < element.width; ++byte)
            expectedByte[element.offset + byte] = true;
    }
    for (std::size_t offset = 0; offset < kImageSize; ++offset)
        if (!expectedByte[offset]) {
            EXPECT_EQ(image.bytes()[offset], kFill) << "offset " << offset;
        }
}

INSTANTIATE_TEST_SUITE_P(Rows, ParseSettings, testing::ValuesIn(kRows), test_support::RowName());

TEST(ParseSettings, FullWidthTextKeepsTheBytesAfterAShorterOne)
{
    SettingsImage image;
    image.bytes().fill(kFill);
    parseSettings("SMS3=" + repeated('a', 200), image, 0x36);
    EXPECT_EQ(image.text(slot("SMS", 3)), repeated('a', 160));
    EXPECT_EQ(image.u8(slot("SMS", 4)), kFill);

    parseSettings("SMS3=ab\r", image, 0x36);
    const auto bytes = image.bytesOf(slot("SMS", 3));
    EXPECT_EQ(bytes[2], 0);
    EXPECT_EQ(bytes[3], 'a');
}

} // namespace
} // namespace telvor
