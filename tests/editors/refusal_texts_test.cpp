// The refusal texts are the dialogs' own and also the reasons a settings
// document gives, so their exact wording is part of both.
#include "editors/refusal_texts.h"

#include <gtest/gtest.h>

namespace telvor {
namespace {

TEST(RefusalTexts, AreFilledIn)
{
    EXPECT_EQ(integerMessage(), "Please enter an integer.");
    EXPECT_EQ(rangeMessage(0, 65535), "Please enter an integer between 0 and 65535.");
    EXPECT_EQ(rangeMessage(-32767, 32767), "Please enter an integer between -32767 and 32767.");
    EXPECT_EQ(rangeMessage(0, 4294967295LL), "Please enter an integer between 0 and 4294967295.");
    EXPECT_EQ(lengthMessage(160), "Please enter no more than 160 characters.");
}

} // namespace
} // namespace telvor
