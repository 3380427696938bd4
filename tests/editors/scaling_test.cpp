#include "editors/scaling.h"

#include "support/image_bytes.h"

#include <gtest/gtest.h>

namespace telvor {
namespace {

TEST(Scaling, FactorsAreStoredAsSigned16BitLittleEndian)
{
    struct Row {
        const char* name;
        int value;
        std::uint8_t low;
        std::uint8_t high;
    };
    const Row rows[] = {
        {"A = -1000", -1000, 0x18, 0xFC},
        {"lowest offered value -32767", -32767, 0x01, 0x80},
        {"highest value 32767", 32767, 0xFF, 0x7F},
        {"gain of 1", 1000, 0xE8, 0x03},
        {"zero", 0, 0x00, 0x00},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        for (int input = 1; input <= 8; ++input) {
            for (const char* key : {"SCLA", "SCLB"}) {
                SettingsImage image;
                Scaling editor;
                (key[3] == 'A' ? editor.gain : editor.offset)[input - 1] = row.value;
                editor.pack(image);
                const auto bytes = image.bytesOf(slot(key, input));
                EXPECT_EQ(bytes[0], row.low) << key << input;
                EXPECT_EQ(bytes[1], row.high) << key << input;
                Scaling reopened;
                reopened.unpack(image);
                EXPECT_EQ((key[3] == 'A' ? reopened.gain : reopened.offset)[input - 1], row.value);
            }
        }
    }
}

TEST(Scaling, StoredValuesOpenSignExtended)
{
    SettingsImage image;
    image.setU16(slot("SCLA", 1), 0x8000);
    image.setU16(slot("SCLB", 8), 0xFFFF);
    image.setU16(slot("SCLA", 5), 0x7FFF);
    Scaling editor;
    editor.unpack(image);
    EXPECT_EQ(editor.gain[0], -32768);
    EXPECT_EQ(editor.offset[7], -1);
    EXPECT_EQ(editor.gain[4], 32767);
}

TEST(Scaling, SixteenFactorsInTheirOwnFields)
{
    SettingsImage image;
    image.bytes().fill(0xAA);
    Scaling editor;
    for (int input = 0; input < 8; ++input) {
        editor.gain[input] = 100 * (input + 1);
        editor.offset[input] = -(input + 1);
    }
    editor.pack(image);
    for (int input = 1; input <= 8; ++input) {
        EXPECT_EQ(image.s16(slot("SCLA", input)), 100 * input);
        EXPECT_EQ(image.s16(slot("SCLB", input)), -input);
    }
    EXPECT_EQ(image.bytes()[slot("SCLA", 1).offset - 1], 0xAA);
    EXPECT_EQ(image.bytes()[slot("SCLB", 8).offset + 2], 0xAA);
}

TEST(Scaling, OkWithoutChangesStoresEveryFactorBack)
{
    SettingsImage image = patternedImage();
    const SettingsImage before = image;
    Scaling editor;
    editor.unpack(image);
    editor.pack(image);
    EXPECT_EQ(changedOffsets(before, image), std::vector<int>{});
}

} // namespace
} // namespace telvor
