#include "sim/device_version.h"
#include "../support/row_name.h"

#include <gtest/gtest.h>

namespace telvor {
namespace {

struct VersionCase {
    const char* name;
    std::string_view text;
    int number;
    bool extended;
    char modelLetter;
};

void PrintTo(const VersionCase& row, std::ostream* out) { *out << row.name; }

class DecodeVersion : public testing::TestWithParam<VersionCase> {};

TEST_P(DecodeVersion, ReadsNumberLetterEAndModel)
{
    const DeviceVersion version = decodeDeviceVersion(GetParam().text);
    EXPECT_EQ(version.number, GetParam().number);
    EXPECT_EQ(version.extended, GetParam().extended);
    EXPECT_EQ(version.modelLetter, GetParam().modelLetter);
}

const VersionCase kVersionCases[] = {
    {"Extended", "v2.8E", 0x28, true, 0},
    {"CapitalMarker", "V3.6", 0x36, false, 0},
    {"Model", "v2.8D", 0x28, false, 'D'},
    {"LetterLIsPassedOver", "v2.8LD", 0x28, false, 'D'},
    {"ExtendedAndModel", "v2.8ED", 0x28, true, 'D'},
    {"LaterModelLetterWins", "v2.8DF", 0x28, false, 'F'},
    {"OnlyFourCharactersAfterTheMinorDigit", "v2.8 xyzE", 0x28, false, 0},
    {"MarkerAfterText", "GSM v2.5", 0x25, false, 0},
    {"MarkerAsSeventeenthCharacter", "0123456789abcdefv2.0E", 0x20, true, 0},
    {"NoMarkerAmongTheFirstSeventeen", "0123456789abcdefgv2.0E", 0, false, 0},
    {"Empty", "", 0, false, 0},
    {"CharacterBetweenDigitsIsNotLookedAt", "v2-7", 0x27, false, 0},
};

INSTANTIATE_TEST_SUITE_P(Texts, DecodeVersion, testing::ValuesIn(kVersionCases),
                         test_support::RowName());

} // namespace
} // namespace telvor
