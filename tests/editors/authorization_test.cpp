#include "editors/authorization.h"

#include "support/image_bytes.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace telvor {
namespace {

// One check box: how to reach its member, and the bit it stands for.
struct Box {
    std::string name;
    std::function<int&(Authorization&)> member;
    int offset;
    int bit;
};

std::vector<Box> allBoxes()
{
    std::vector<Box> boxes;
    const auto numbers
        = [&](const std::string& service, NumberBoxes Authorization::*row, int firstOffset, int lastOffset) {
              for (int number = 1; number <= 10; ++number) {
                  boxes.push_back({service + "Num" + std::to_string(number),
                                   [row, number](Authorization& a) -> int& { return (a.*row)[number - 1]; },
                                   number <= 5 ? firstOffset : lastOffset, (number - 1) % 5});
              }
          };
    boxes.push_back({"OnDemandReportAnyone", [](Authorization& a) -> int& { return a.onDemandReportAnyone; }, 1766, 7});
    numbers("OnDemandReport", &Authorization::onDemandReport, 1766, 3593);
    boxes.push_back({"CsdConnectionAnyone", [](Authorization& a) -> int& { return a.csdConnectionAnyone; }, 1768, 7});
    for (int number = 1; number <= 5; ++number) {
        boxes.push_back({"CsdConnectionNum" + std::to_string(number),
                         [number](Authorization& a) -> int& { return a.csdConnection[number - 1]; }, 1768, number - 1});
    }
    boxes.push_back({"RemoteControlAnyone", [](Authorization& a) -> int& { return a.remoteControlAnyone; }, 1767, 7});
    numbers("RemoteControl", &Authorization::remoteControl, 1767, 3594);
    numbers("PeriodicalReport", &Authorization::periodicalReport, 1765, 3592);
    return boxes;
}

const std::vector<int> kOwnedOffsets{1765, 1766, 1767, 1768, 3592, 3593, 3594};

TEST(Authorization, ThereAreThirtyEightBoxes)
{
    EXPECT_EQ(allBoxes().size(), 38u);
}

class AuthorizationBox : public testing::TestWithParam<Box> {};

TEST_P(AuthorizationBox, SetsExactlyItsOwnBit)
{
    const Box& box = GetParam();
    SettingsImage image;
    Authorization authorization;
    authorization.unpack(image);
    box.member(authorization) = 1;
    authorization.pack(image);
    for (const int offset : kOwnedOffsets) {
        const int expected = offset == box.offset ? 1 << box.bit : 0;
        EXPECT_EQ(image.bytes()[offset], expected) << "offset " << offset;
    }
}

TEST_P(AuthorizationBox, OpensChecked)
{
    const Box& box = GetParam();
    SettingsImage image;
    image.bytes()[box.offset] = static_cast<std::uint8_t>(1 << box.bit);
    Authorization authorization;
    authorization.unpack(image);
    for (const Box& other : allBoxes())
        EXPECT_EQ(other.member(authorization), other.name == box.name ? 1 : 0) << other.name;
}

INSTANTIATE_TEST_SUITE_P(Authorization, AuthorizationBox, testing::ValuesIn(allBoxes()), test_support::RowName());

TEST(Authorization, AllBoxesCheckedStoreEveryOwnedBit)
{
    SettingsImage image;
    Authorization authorization;
    authorization.unpack(image);
    for (const Box& box : allBoxes())
        box.member(authorization) = 1;
    authorization.pack(image);
    EXPECT_EQ(image.bytes()[1765], 0x1F);
    EXPECT_EQ(image.bytes()[1766], 0x9F);
    EXPECT_EQ(image.bytes()[1767], 0x9F);
    EXPECT_EQ(image.bytes()[1768], 0x9F);
    EXPECT_EQ(image.bytes()[3592], 0x1F);
    EXPECT_EQ(image.bytes()[3593], 0x1F);
    EXPECT_EQ(image.bytes()[3594], 0x1F);
}

TEST(Authorization, BitsWithoutABoxBecomeZero)
{
    SettingsImage image;
    image.bytes().fill(0xFF);
    image.bytes()[1768] = 0x7F;
    const SettingsImage before = image;
    Authorization authorization;
    authorization.unpack(image);
    authorization.pack(image);
    EXPECT_EQ(image.bytes()[1765], 0x1F);
    EXPECT_EQ(image.bytes()[1766], 0x9F);
    EXPECT_EQ(image.bytes()[1768], 0x1F);
    EXPECT_EQ(image.bytes()[3592], 0x1F);
    EXPECT_EQ(changedOffsets(before, image), kOwnedOffsets);
    // The e-mail editor's value of RCFG stays.
    EXPECT_EQ(image.u8(slot("RCFG", Field::kNotIndexed, 2)), 0xFF);
}

} // namespace
} // namespace telvor
