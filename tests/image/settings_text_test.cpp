#include "image/settings_text.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

namespace telvor {
namespace {

TEST(SettingsText, KeyLinesSetTheirFieldsAndCommentsAreSkipped)
{
    SettingsImage image;
    const SettingsTextResult result = settingsFromText("# defaults\n\nTRPT=60\r\nSMS1=Alarm L1: @UL @SL\n"
                                                       "ULOx=1,2,3,4,5,6,7,8\nCLIP=159,05\nURL2=*101*12#",
                                                       image);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(image.number(slot("TRPT")), 60);
    EXPECT_EQ(image.text(slot("SMS", 1)), "Alarm L1: @UL @SL");
    EXPECT_EQ(image.number(slot("ULO", 8)), 8);
    EXPECT_EQ(image.number(slot("CLIP")), 159);
    EXPECT_EQ(image.number(slot("CLIP", Field::kNotIndexed, 2)), 5);
    EXPECT_EQ(image.text(slot("URL2")), "*101*1");
    EXPECT_EQ(image.u8(slot("URL2", Field::kNotIndexed, 8)), '#');
}

TEST(SettingsText, EmptyValuesAreKeyLines)
{
    SettingsImage image;
    image.setText(slot("PIN"), "1234");
    const SettingsTextResult result = settingsFromText("PIN=\n", image);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(image.text(slot("PIN")), "");
}

struct RefusedRow {
    const char* name;
    const char* text;
    const char* error;
};

class SettingsTextRefused : public testing::TestWithParam<RefusedRow> {};

TEST_P(SettingsTextRefused, NamesTheLineAndChangesNothing)
{
    SettingsImage image;
    const SettingsTextResult result = settingsFromText(GetParam().text, image);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, GetParam().error);
    EXPECT_EQ(image, SettingsImage());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SettingsTextRefused,
    testing::Values(RefusedRow{"MisspeltKey", "TRPT=60\nTRTP=60\n", "line 2 sets no field: TRTP=60"},
                    RefusedRow{"ElementKey", "# inputs\nICFG1=3", "line 2 sets no field: ICFG1=3"},
                    RefusedRow{"UnreadableNumber", "TRPT=sixty", "line 1 sets no field: TRPT=sixty"},
                    RefusedRow{"IndentedComment", " # note", "line 1 sets no field:  # note"},
                    RefusedRow{"NumberedTextOutOfRange", "APN7=x", "line 1 sets no field: APN7=x"}),
    test_support::RowName());

} // namespace
} // namespace telvor
