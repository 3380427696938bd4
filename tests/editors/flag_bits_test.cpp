#include "editors/flag_bits.h"

#include <gtest/gtest.h>

namespace telvor {
namespace {

TEST(FlagBits, SplitGivesOneMemberPerBit)
{
    EXPECT_EQ(splitFlags<8>(0x81), (std::array<int, 8>{1, 0, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(splitFlags<5>(0xFE), (std::array<int, 5>{0, 1, 1, 1, 1}));
    EXPECT_EQ(flagBit(0x80, 7), 1);
    EXPECT_EQ(flagBit(0x7F, 7), 0);
}

TEST(FlagBits, JoinRebuildsFromZeroOrKeepsTheOtherBits)
{
    const std::array<int, 5> members{1, 0, 2, 0, 1};
    EXPECT_EQ(joinFlags(members), 0x15);
    EXPECT_EQ(joinFlags(members, 0xFF), 0xF5);
    EXPECT_EQ(joinFlags(splitFlags<8>(0xA5)), 0xA5);
}

TEST(FlagBits, WithFlagBitChangesOnlyItsBit)
{
    EXPECT_EQ(withFlagBit(0x00, 4, 1), 0x10);
    EXPECT_EQ(withFlagBit(0xFF, 4, 0), 0xEF);
    EXPECT_EQ(withFlagBit(0x10, 4, 7), 0x10);
    EXPECT_EQ(withFlagBit(0x6D, 1, 0), 0x6D);
}

} // namespace
} // namespace telvor
