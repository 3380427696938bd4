#include "image/answer_lines.h"
#include "image/field_value.h"
#include "image/settings_parser.h"
#include "support/parsed_fields.h"

#include <gtest/gtest.h>

namespace telvor {
namespace {

std::string answerText(std::string_view key, const SettingsImage& image, int versionNumber)
{
    std::string text;
    for (const std::string& line : answerLines(key, image, versionNumber))
        text += line + "\r\n";
    return text;
}

// Each key alone: its answer lines, parsed into an image of other bytes,
// give back every field the key fills and touch nothing else.
TEST(AnswerRoundTrip, EveryKeyReadsBackIntoItsOwnFields)
{
    std::mt19937 random(1);
    for (int round = 0; round < 20; ++round) {
        const SettingsImage source = randomParsableImage(random);
        for (const AnswerKey& key : kAnswerKeys) {
            SettingsImage target;
            target.bytes().fill(0x5A);
            parseSettings(answerText(key.name(), source, 0x36), target, 0x36);
            std::vector<bool> filled(kImageSize, false);
            std::vector<Slot> elements;
            for (int value = 0; value < key.count; ++value)
                elements.push_back(valueSlot(key, value));
            if (key.kind == ValueKind::BalanceCode)
                elements.insert(elements.end(), {kBalanceCodeSeventh, kBalanceCodeEighth});
            for (const Slot& element : elements) {
                EXPECT_EQ(fieldValueText(target, element), fieldValueText(source, element))
                    << key.name() << " offset " << element.offset;
                for (int byte = 0; byte < element.width; ++byte)
                    filled[element.offset + byte] = true;
            }
            for (std::size_t offset = 0; offset < kImageSize; ++offset)
                if (!filled[offset]) {
                    ASSERT_EQ(target.bytes()[offset], 0x5A) << key.name() << " offset " << offset;
                }
        }
    }
}

// Older versions carry fewer values of RCFG, CLIP and CTRL and six characters
// of the balance check code; what they carry reads back at that version.
TEST(AnswerRoundTrip, OlderVersionsReadBackWhatTheyCarry)
{
    SettingsImage source;
    source.setU8(slot("RCFG"), 7);
    source.setU8(slot("RCFG", Field::kNotIndexed, 2), 159);
    source.setU8(slot("RCFG", Field::kNotIndexed, 3), 9);
    source.setU8(slot("CLIP"), 200);
    source.setU8(slot("CLIP", Field::kNotIndexed, 2), 31);
    source.setText(slot("URL2"), "*101*1");
    source.setU8(kBalanceCodeSeventh, '#');
    for (const int versionNumber : {31, 32, 37, 38, 0x35, 0x36}) {
        SettingsImage target;
        for (const char* key : {"RCFG", "CLIP", "URL2"})
            parseSettings(answerText(key, source, versionNumber), target, versionNumber);
        EXPECT_EQ(target.u8(slot("RCFG")), 7) << versionNumber;
        EXPECT_EQ(target.u8(slot("RCFG", Field::kNotIndexed, 2)), versionNumber >= 32 ? 159 : 0);
        EXPECT_EQ(target.u8(slot("RCFG", Field::kNotIndexed, 3)), versionNumber >= 38 ? 9 : 0);
        EXPECT_EQ(target.u8(slot("CLIP")), 200);
        EXPECT_EQ(target.u8(slot("CLIP", Field::kNotIndexed, 2)), versionNumber >= 38 ? 31 : 0);
        EXPECT_EQ(target.text(slot("URL2")), "*101*1");
        EXPECT_EQ(target.u8(kBalanceCodeSeventh), versionNumber >= 0x36 ? '#' : 0);
    }
}

} // namespace
} // namespace telvor
