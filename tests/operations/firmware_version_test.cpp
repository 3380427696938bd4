#include "operations/firmware_version.h"
#include "operations/local_clock.h"
#include "../support/row_name.h"

#include <gtest/gtest.h>

#include <string>

namespace telvor {
namespace {

struct VersionCase {
    const char* name;
    std::string reply;
    int versionNumber;
    int extended;
    char modelLetter;
};

class DecodeVersion : public testing::TestWithParam<VersionCase> {};

TEST_P(DecodeVersion, FillsEveryField)
{
    const VersionCase& row = GetParam();
    const FirmwareVersion version = decodeVersion(row.reply);
    EXPECT_EQ(version.versionNumber, row.versionNumber);
    EXPECT_EQ(version.extended, row.extended);
    EXPECT_EQ(version.modelLetter, row.modelLetter);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, DecodeVersion,
    testing::Values(VersionCase{"ExtendedLetter", "v2.8E", 0x28, 1, 0},
                    VersionCase{"CapitalMarker", "V3.6", 0x36, 0, 0},
                    VersionCase{"ModelLetter", "v2.8D", 0x28, 0, 'D'},
                    VersionCase{"LetterLIsPassedOver", "v2.8LD", 0x28, 0, 'D'},
                    VersionCase{"ExtendedAndModel", "v2.8ED", 0x28, 1, 'D'},
                    VersionCase{"LaterModelLetterWins", "v2.9ZB", 0x29, 0, 'B'},
                    VersionCase{"OnlyFourLettersAreLookedAt", "v2.8 xyzE", 0x28, 0, 0},
                    VersionCase{"FifthLetterIgnored", "v2.8ABCDE", 0x28, 0, 'D'},
                    VersionCase{"SerialTrailingBlank", "v3.6E ", 0x36, 1, 0},
                    VersionCase{"TextBeforeTheMarker", "GSM unit v2.5", 0x25, 0, 0},
                    VersionCase{"DigitsAreNotChecked", "v3x7", 0x37, 0, 0},
                    VersionCase{"MarkerIsTheSeventeenthCharacter", "0123456789ABCDEFv2.8", 0x28, 0, 0},
                    VersionCase{"MarkerBeyondTheSeventeenthCharacter", "0123456789ABCDEFGv2.8E", 0, 0, 0},
                    VersionCase{"NoMarker", "OK 2.8E", 0, 0, 0},
                    VersionCase{"EmptyReply", "", 0, 0, 0},
                    VersionCase{"ReplyEndsBeforeTheMinorDigit", "v2.", 0, 0, 0}),
    test_support::RowName());

TEST(ClockLine, PrintsYearFrom2000AndTwoDigitsEach)
{
    std::tm time{};
    time.tm_year = 2026 - 1900;
    time.tm_mon = 4;
    time.tm_mday = 6;
    time.tm_hour = 7;
    time.tm_min = 5;
    time.tm_sec = 9;
    EXPECT_EQ(clockLine(time), "TIME=26/05/06,07:05:09");
    time.tm_year = 2031 - 1900;
    time.tm_mon = 11;
    time.tm_mday = 31;
    time.tm_hour = 23;
    time.tm_min = 59;
    time.tm_sec = 58;
    EXPECT_EQ(clockLine(time), "TIME=31/12/31,23:59:58");
}

} // namespace
} // namespace telvor
