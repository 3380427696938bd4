#include "image/answer_keys.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace telvor {
namespace {

// Every value of every key names a field element of the image; a key whose
// target is not in the field table fails to compile here.
constexpr bool everyValueHasAField()
{
    for (const AnswerKey& key : kAnswerKeys)
        for (int value = 0; value < key.count; ++value)
            valueSlot(key, value);
    return true;
}
static_assert(everyValueHasAField());

TEST(AnswerKeys, SixtyKeysInTheParsersOrder)
{
    ASSERT_EQ(kAnswerKeys.size(), 60u);
    EXPECT_EQ(kAnswerKeys[0].text, "PIN=");
    EXPECT_EQ(kAnswerKeys[6].text, "NUM5=");
    EXPECT_EQ(kAnswerKeys[13].text, "ICFGx=");
    EXPECT_EQ(kAnswerKeys[16].text, "SCFG=");
    EXPECT_EQ(kAnswerKeys[25].text, "SMS");
    EXPECT_EQ(kAnswerKeys[37].text, "XMS");
    EXPECT_EQ(kAnswerKeys[43].text, "NUM10=");
    EXPECT_EQ(kAnswerKeys[52].text, "URL2=");
    EXPECT_EQ(kAnswerKeys[59].text, "WKDx=");
}

TEST(AnswerKeys, NamesAreUniqueAndFoundByName)
{
    std::set<std::string_view> names;
    for (const AnswerKey& key : kAnswerKeys) {
        EXPECT_TRUE(names.insert(key.name()).second) << key.name();
        EXPECT_EQ(findAnswerKey(key.name())->text, key.text);
    }
    EXPECT_FALSE(findAnswerKey("ICFG1"));
    EXPECT_FALSE(findAnswerKey("PIN="));
}

TEST(AnswerKeys, ValuesLandInTheirFields)
{
    EXPECT_EQ(valueSlot(*findAnswerKey("RPTHR"), 2).offset, 1772);
    EXPECT_EQ(valueSlot(*findAnswerKey("RPTHR"), 2).width, 1);
    EXPECT_EQ(valueSlot(*findAnswerKey("ALMD"), 1).offset, 1775);
    EXPECT_EQ(valueSlot(*findAnswerKey("RCFG"), 1).offset, 2432);
    EXPECT_EQ(valueSlot(*findAnswerKey("RCFG"), 2).offset, 3592);
    EXPECT_EQ(valueSlot(*findAnswerKey("CTRL"), 1).offset, 3594);
    EXPECT_EQ(valueSlot(*findAnswerKey("ULOx"), 7).offset, 120);
    EXPECT_EQ(valueSlot(*findAnswerKey("XMS"), 16).offset, 2459 + 40 * 16);
    EXPECT_EQ(valueSlot(*findAnswerKey("NUM10"), 0).offset, 3204);
    EXPECT_EQ(valueSlot(*findAnswerKey("WKDx"), 0).offset, 3385);
    EXPECT_EQ(valueSlot(*findAnswerKey("OCFGx"), 7).offset, 153);
    EXPECT_EQ(valueSlot(*findAnswerKey("COPS"), 0).offset, 3606);
}

} // namespace
} // namespace telvor
