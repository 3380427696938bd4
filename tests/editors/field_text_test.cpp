#include "editors/field_text.h"

#include <gtest/gtest.h>

namespace telvor {
namespace {

TEST(FieldText, AllOnesFieldShowsEmptyAndIsStoredAsZeros)
{
    SettingsImage image;
    image.bytes().fill(0xFF);
    EXPECT_EQ(textFromField(image, slot("APN", 2)), "");
    textToField(textFromField(image, slot("APN", 2)), image, slot("APN", 2));
    for (const std::uint8_t byte : image.bytesOf(slot("APN", 2)))
        EXPECT_EQ(byte, 0);
    EXPECT_EQ(image.bytes()[slot("APN", 3).offset], 0xFF);
}

TEST(FieldText, FullWidthTextHasNoTerminatorAndLongerTextIsCut)
{
    SettingsImage image;
    image.bytes().fill(0xAA);
    textToField("0123456789abcdefXYZ", image, slot("NUM", 3));
    EXPECT_EQ(textFromField(image, slot("NUM", 3)), "0123456789abcdef");
    EXPECT_EQ(image.bytes()[slot("NUM", 4).offset], 0xAA);
    textToField("abc", image, slot("PIN"));
    EXPECT_EQ(image.bytes()[3], 0);
    EXPECT_EQ(image.bytes()[7], 0);
}

TEST(FieldText, HourListsReadEveryDigitRun)
{
    struct Row {
        const char* text;
        std::uint32_t bits;
    };
    const Row rows[] = {
        {"24", 1u << 0},
        {"1,2 3;4x", 0b11110},
        {"25,3", 1u << 3},
        {"", 0},
        {"-5", 1u << 5},
        {"0,7,20", 1u | 1u << 7 | 1u << 20},
        {"99999999999999999999,23", 1u << 23},
        {"7,7,007", 1u << 7},
    };
    for (const Row& row : rows) {
        SettingsImage image;
        image.bytes().fill(0xFF);
        hourListToBits(row.text, image, slot("RPTHR"));
        const auto bytes = image.bytesOf(slot("RPTHR"));
        EXPECT_EQ(bytes[0] | bytes[1] << 8 | bytes[2] << 16, static_cast<int>(row.bits)) << row.text;
        EXPECT_EQ(bytes[3], 0) << row.text;
        EXPECT_EQ(image.bytes()[slot("SLIM").offset], 0xFF);
    }
}

TEST(FieldText, HourSetOpensAsAscendingList)
{
    SettingsImage image;
    image.bytesOf(slot("GRDHR"))[0] = 0x81;
    image.bytesOf(slot("GRDHR"))[2] = 0x10;
    EXPECT_EQ(hourListFromBits(image, slot("GRDHR")), "0,7,20");
    EXPECT_EQ(hourListFromBits(SettingsImage{}, slot("GRDHR")), "");
}

} // namespace
} // namespace telvor
