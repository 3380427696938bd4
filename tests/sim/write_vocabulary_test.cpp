#include "sim/write_vocabulary.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace telvor {
namespace {

using Change = std::function<void(SettingsImage&)>;

void number(SettingsImage& image, std::string_view name, long value, int part = 1)
{
    image.setNumber(*slotByName(name, part), value);
}

void text(SettingsImage& image, std::string_view name, std::string_view value)
{
    image.setText(*slotByName(name), value);
}

void hours(SettingsImage& image, std::string_view name, std::uint8_t first, std::uint8_t second, std::uint8_t third)
{
    const auto bytes = image.bytesOf(*slotByName(name));
    bytes[0] = first;
    bytes[1] = second;
    bytes[2] = third;
}

// A record whose every byte differs from what the lines below store, so
// that a field left alone and a field stored are told apart.
SettingsImage patterned()
{
    SettingsImage image;
    for (std::size_t offset = 0; offset < kImageSize; ++offset)
        image.bytes()[offset] = static_cast<std::uint8_t>(0xA0 + offset % 7);
    return image;
}

struct WriteCase {
    const char* name;
    std::string line;
    Change change;
};

void PrintTo(const WriteCase& row, std::ostream* out)
{
    *out << row.name;
}

class WriteLine : public testing::TestWithParam<WriteCase> {};

TEST_P(WriteLine, StoresEveryAssignmentInItsFieldAndNothingElse)
{
    SettingsImage image = patterned();
    SettingsImage expected = image;
    GetParam().change(expected);
    applyWriteLine(GetParam().line, image);
    for (std::size_t offset = 0; offset < kImageSize; ++offset)
        ASSERT_EQ(image.bytes()[offset], expected.bytes()[offset]) << "offset " << offset;
}

const WriteCase kWriteCases[] = {
    {"PinAndFirstNumbers", "PIN=1234 NUM0=+48601000000 NUM1=600100200",
     [](SettingsImage& image) {
         text(image, "PIN", "1234");
         text(image, "NUM0", "+48601000000");
         text(image, "NUM1", "600100200");
     }},
    {"EmptyTexts", "PIN= NUM0= NUM1=",
     [](SettingsImage& image) {
         text(image, "PIN", "");
         text(image, "NUM0", "");
         text(image, "NUM1", "");
     }},
    {"TextsWithBlanksEndAtTheNextAssignment", "PIN=12 34 NUM0=+48 600 NUM1=x y=z",
     [](SettingsImage& image) {
         text(image, "PIN", "12 34");
         text(image, "NUM0", "+48 600");
         text(image, "NUM1", "x y=z");
     }},
    {"FullWidthNumberKeepsItsSixteenCharacters", "NUM2=1234567890123456 NUM3=6543210987654321",
     [](SettingsImage& image) {
         text(image, "NUM2", "1234567890123456");
         text(image, "NUM3", "6543210987654321");
     }},
    {"NumbersFourAndFive", "NUM4=44 NUM5=55 55",
     [](SettingsImage& image) {
         text(image, "NUM4", "44");
         text(image, "NUM5", "55 55");
     }},
    {"ReportPeriodAndInsensitivity", "TRPT=65535 SCFG=7 HIST1=200 HIST2=3",
     [](SettingsImage& image) {
         number(image, "TRPT", 65535);
         number(image, "SCFG", 7);
         number(image, "HIST1", 200);
         number(image, "HIST2", 3);
     }},
    {"MultiValueReceivers", "RCFG=1,2,3 CLIP=4,5 CTRL=6,7 CSDC=8",
     [](SettingsImage& image) {
         number(image, "RCFG", 1);
         number(image, "RCFG", 2, 2);
         number(image, "RCFG", 3, 3);
         number(image, "CLIP", 4);
         number(image, "CLIP", 5, 2);
         number(image, "CTRL", 6);
         number(image, "CTRL", 7, 2);
         number(image, "CSDC", 8);
     }},
    {"MainFlagsAndSmsLimit", "MCFG1=9 SLIM=10",
     [](SettingsImage& image) {
         number(image, "MCFG1", 9);
         number(image, "SLIM", 10);
     }},
    {"ReportHoursAsThreeBytes", "RPTHR=001,000,128", [](SettingsImage& image) { hours(image, "RPTHR", 1, 0, 128); }},
    {"AlarmConditionsAndNetworkCode", "ALMD=003,255 COPS=26001",
     [](SettingsImage& image) {
         number(image, "ALMD", 3);
         number(image, "ALMD", 255, 2);
         number(image, "COPS", 26001);
     }},
    {"MessageBodyRunsToTheEndOfItsLine", "SMS3=Alarm TRPT=5 at L3",
     [](SettingsImage& image) { text(image, "SMS3", "Alarm TRPT=5 at L3"); }},
    {"MessageBodyZeroAndNine", "SMS9=", [](SettingsImage& image) { text(image, "SMS9", ""); }},
    {"InputLine", "ICFG3=5 ULO3=1000 UHI3=2000 SCFG3=4",
     [](SettingsImage& image) {
         number(image, "ICFG3", 5);
         number(image, "ULO3", 1000);
         number(image, "UHI3", 2000);
         number(image, "SCFG3", 4);
     }},
    {"OutputLine", "OCFG6=17", [](SettingsImage& image) { number(image, "OCFG6", 17); }},
    {"LogPeriod", "LOGT=15", [](SettingsImage& image) { number(image, "LOGT", 15); }},
    {"WakingHours", "GRDHR=255,001,002", [](SettingsImage& image) { hours(image, "GRDHR", 255, 1, 2); }},
    {"AlarmDelaysOneToFour", "ADEL1=1 ADEL2=2 ADEL3=3 ADEL4=4",
     [](SettingsImage& image) {
         for (int index = 1; index <= 4; ++index)
             number(image, "ADEL" + std::to_string(index), index);
     }},
    {"AlarmDelaysFiveToEight", "ADEL5=5 ADEL6=6 ADEL7=7 ADEL8=255",
     [](SettingsImage& image) {
         for (int index = 5; index <= 7; ++index)
             number(image, "ADEL" + std::to_string(index), index);
         number(image, "ADEL8", 255);
     }},
    {"AccessText", "APN4=smtp user name", [](SettingsImage& image) { text(image, "APN4", "smtp user name"); }},
    {"MailAddress", "EAD5=alarm@example.org", [](SettingsImage& image) { text(image, "EAD5", "alarm@example.org"); }},
    {"MailNotificationsOneToFour", "SEML1=1 SEML2=2 SEML3=3 SEML4=4",
     [](SettingsImage& image) {
         for (int index = 1; index <= 4; ++index)
             number(image, "SEML" + std::to_string(index), index);
     }},
    {"MailNotificationsFiveToEight", "SEML5=5 SEML6=6 SEML7=7 SEML8=8",
     [](SettingsImage& image) {
         for (int index = 5; index <= 8; ++index)
             number(image, "SEML" + std::to_string(index), index);
     }},
    {"LogSending", "SLOG=5 SLGT=6",
     [](SettingsImage& image) {
         number(image, "SLOG", 5);
         number(image, "SLGT", 6);
     }},
    {"SecondFlagsAndMailReceivers", "MCFG2=1 SXML=31",
     [](SettingsImage& image) {
         number(image, "MCFG2", 1);
         number(image, "SXML", 31);
     }},
    {"ExtendedLinesOneToSix", "XCFG1=1 XCFG2=2 XCFG3=3 XCFG4=4 XCFG5=5 XCFG6=6",
     [](SettingsImage& image) {
         for (int index = 1; index <= 6; ++index)
             number(image, "XCFG" + std::to_string(index), index);
     }},
    {"ExtendedLinesSevenToTwelve", "XCFG7=7 XCFG8=8 XCFG9=9 XCFG10=10 XCFG11=11 XCFG12=12",
     [](SettingsImage& image) {
         for (int index = 7; index <= 12; ++index)
             number(image, "XCFG" + std::to_string(index), index);
     }},
    {"ExtendedLinesThirteenToSeventeen", "XCFG13=13 XCFG14=14 XCFG15=15 XCFG16=16 XCFG17=17",
     [](SettingsImage& image) {
         for (int index = 13; index <= 17; ++index)
             number(image, "XCFG" + std::to_string(index), index);
     }},
    {"ExtendedLineSensors", "XTYP1=1 XLO1=100 XHI1=200 XTYP9=9 XLO9=900 XHI9=65535",
     [](SettingsImage& image) {
         number(image, "XTYP1", 1);
         number(image, "XLO1", 100);
         number(image, "XHI1", 200);
         number(image, "XTYP9", 9);
         number(image, "XLO9", 900);
         number(image, "XHI9", 65535);
     }},
    {"ExtendedLineBody", "XMS17=link ok", [](SettingsImage& image) { text(image, "XMS17", "link ok"); }},
    {"NumbersSixToEight", "NUM6=6 66 NUM7=7 NUM8=8",
     [](SettingsImage& image) {
         text(image, "NUM6", "6 66");
         text(image, "NUM7", "7");
         text(image, "NUM8", "8");
     }},
    {"NumbersNineAndTen", "NUM9=9 NUM10=10",
     [](SettingsImage& image) {
         text(image, "NUM9", "9");
         text(image, "NUM10", "10");
     }},
    {"SignalTime", "ATIM=30", [](SettingsImage& image) { number(image, "ATIM", 30); }},
    {"SignedScaling", "ECFG5=3 SCLA5=-5 SCLB5=-32768",
     [](SettingsImage& image) {
         number(image, "ECFG5", 3);
         number(image, "SCLA5", -5);
         number(image, "SCLB5", -32768);
     }},
    {"HttpPeriodUnitAndCheckHour", "THTP=12 NUID=4000 TGAC=9",
     [](SettingsImage& image) {
         number(image, "THTP", 12);
         number(image, "NUID", 4000);
         number(image, "TGAC", 9);
     }},
    {"HttpServer", "URL0=http://127.0.0.1/a b",
     [](SettingsImage& image) { text(image, "URL0", "http://127.0.0.1/a b"); }},
    {"HttpMessage", "URL1=id=@U t=@T", [](SettingsImage& image) { text(image, "URL1", "id=@U t=@T"); }},
    {"BalanceCodeOfEightCharacters", "URL2=*101*2#9",
     [](SettingsImage& image) {
         text(image, "URL2", "*101*2");
         number(image, "URL2", '#', 7);
         number(image, "URL2", '9', 8);
     }},
    {"BalanceCodeOfSixCharacters", "URL2=*101*2",
     [](SettingsImage& image) {
         text(image, "URL2", "*101*2");
         number(image, "URL2", 0, 7);
         number(image, "URL2", 0, 8);
     }},
    {"BalanceCodeOfThreeCharacters", "URL2=*1#",
     [](SettingsImage& image) {
         text(image, "URL2", "*1#");
         number(image, "URL2", 0, 7);
         number(image, "URL2", 0, 8);
     }},
    {"WeekDays", "WKD1=127 WKD2=128 WKD3=3",
     [](SettingsImage& image) {
         number(image, "WKD1", 127);
         number(image, "WKD2", 128);
         number(image, "WKD3", 3);
     }},
    {"RewriteOfOneExtendedLine", "XCFG12=77", [](SettingsImage& image) { number(image, "XCFG12", 77); }},
    {"RewriteOfMailReceivers", "SXML=3", [](SettingsImage& image) { number(image, "SXML", 3); }},
    {"RewriteOfScaling", "SCLA8=-1", [](SettingsImage& image) { number(image, "SCLA8", -1); }},
    {"RewriteOfOffset", "SCLB1=300", [](SettingsImage& image) { number(image, "SCLB1", 300); }},
    {"RewriteOfNotification", "ECFG8=255", [](SettingsImage& image) { number(image, "ECFG8", 255); }},
    {"RewriteOfBodyWithBlanks", "SMS0=Report @T L1=@1",
     [](SettingsImage& image) { text(image, "SMS0", "Report @T L1=@1"); }},
    {"TooLongTextIsCutAtItsWidth", "PIN=123456789 NUM0=1",
     [](SettingsImage& image) {
         text(image, "PIN", "12345678");
         text(image, "NUM0", "1");
     }},
    {"ValueCutToTheFieldWidth", "TRPT=70000", [](SettingsImage& image) { number(image, "TRPT", 70000 & 0xFFFF); }},
    {"ServiceCommandsChangeNothing", "HALT!", [](SettingsImage&) {}},
    {"DebugSwitchChangesNothing", "DEBUG=0", [](SettingsImage&) {}},
    {"ClockLineChangesNothing", "TIME=26/05/06,07:05:09", [](SettingsImage&) {}},
    {"ValueThatIsNoNumberIsPassedOver", "TRPT=12x SCFG=5", [](SettingsImage& image) { number(image, "SCFG", 5); }},
    {"IndexBeyondTheFieldIsPassedOver", "ICFG9=1 OCFG9=2 XMS18=x", [](SettingsImage&) {}},
};

INSTANTIATE_TEST_SUITE_P(Lines, WriteLine, testing::ValuesIn(kWriteCases), test_support::RowName());

TEST(WriteVocabulary, ReportsTheKeysItStored)
{
    SettingsImage image;
    EXPECT_EQ(applyWriteLine("DEBUG=0", image), std::vector<std::string>{});
    EXPECT_EQ(applyWriteLine("ECFG2=1 SCLA2=-7 SCLB2=9", image), (std::vector<std::string>{"ECFG2", "SCLA2", "SCLB2"}));
}

} // namespace
} // namespace telvor
