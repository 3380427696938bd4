// The reading of a version text, which the program and the virtual device
// share.
#include "image/firmware_version.h"
#include "support/row_name.h"

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
                    VersionCase{"CapitalMarker", "V3.6", 0x36, 0, 0}, VersionCase{"ModelLetter", "v2.8D", 0x28, 0, 'D'},
                    VersionCase{"LetterLIsPassedOver", "v2.8LD", 0x28, 0, 'D'},
                    VersionCase{"ExtendedAndModel", "v2.8ED", 0x28, 1, 'D'},
                    VersionCase{"LaterModelLetterWins", "v2.9ZB", 0x29, 0, 'B'},
                    VersionCase{"LaterModelLetterWinsWithinOneVersion", "v2.8DF", 0x28, 0, 'F'},
                    VersionCase{"OnlyFourLettersAreLookedAt", "v2.8 xyzE", 0x28, 0, 0},
                    VersionCase{"FifthLetterIgnored", "v2.8ABCDE", 0x28, 0, 'D'},
                    VersionCase{"SerialTrailingBlank", "v3.6E ", 0x36, 1, 0},
                    VersionCase{"TextBeforeTheMarker", "GSM unit v2.5", 0x25, 0, 0},
                    VersionCase{"DigitsAreNotChecked", "v3x7", 0x37, 0, 0},
                    VersionCase{"CharacterBetweenDigitsIsNotLookedAt", "v2-7", 0x27, 0, 0},
                    VersionCase{"MarkerIsTheSeventeenthCharacter", "0123456789ABCDEFv2.8", 0x28, 0, 0},
                    VersionCase{"ExtendedAfterTheSeventeenthCharacterMarker", "0123456789abcdefv2.0E", 0x20, 1, 0},
                    VersionCase{"MarkerBeyondTheSeventeenthCharacter", "0123456789ABCDEFGv2.8E", 0, 0, 0},
                    VersionCase{"NoMarker", "OK 2.8E", 0, 0, 0}, VersionCase{"EmptyReply", "", 0, 0, 0},
                    VersionCase{"ReplyEndsBeforeTheMinorDigit", "v2.", 0, 0, 0},
                    VersionCase{"ReplyEndsAfterTheMajorDigit", "v9", 0, 0, 0}),
    test_support::RowName());

} // namespace
} // namespace telvor
