#include "editors/scaling_editor.h"

#include <gtest/gtest.h>

namespace telvor {
namespace {

TEST(ScalingEditor, FactorsAreStoredAsSigned16BitLittleEndian)
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
        for (int input = 1; input <= ScalingEditor::kInputs; ++input) {
            for (const char* key : {"SCLA", "SCLB"}) {
                SettingsImage image;
                ScalingEditor editor;
                (key[3] == 'A' ? editor.gain : editor.offset)[input - 1] = row.value;
                editor.pack(image);
                const auto bytes = image.bytesOf(slot(key, input));
                EXPECT_EQ(bytes[0], row.low) << key << input;
                EXPECT_EQ(bytes[1], row.high) << key << input;
                ScalingEditor reopened;
                reopened.unpack(image);
                EXPECT_EQ((key[3] == 'A' ? reopened.gain : reopened.offset)[input - 1], row.value);
            }
        }
    }
}

TEST(ScalingEditor, StoredValuesOpenSignExtended)
{
    SettingsImage image;
    image.setU16(slot("SCLA", 1), 0x8000);
    image.setU16(slot("SCLB", 8), 0xFFFF);
    image.setU16(slot("SCLA", 5), 0x7FFF);
    ScalingEditor editor;
    editor.unpack(image);
    EXPECT_EQ(editor.gain[0], -32768);
    EXPECT_EQ(editor.offset[7], -1);
    EXPECT_EQ(editor.gain[4], 32767);
}

TEST(ScalingEditor, SixteenFactorsInTheirOwnFields)
{
    SettingsImage image;
    image.bytes().fill(0xAA);
    ScalingEditor editor;
    for (int input = 0; input < ScalingEditor::kInputs; ++input) {
        editor.gain[input] = 100 * (input + 1);
        editor.offset[input] = -(input + 1);
    }
    editor.pack(image);
    for (int input = 1; input <= ScalingEditor::kInputs; ++input) {
        EXPECT_EQ(image.s16(slot("SCLA", input)), 100 * input);
        EXPECT_EQ(image.s16(slot("SCLB", input)), -input);
    }
    EXPECT_EQ(image.bytes()[slot("SCLA", 1).offset - 1], 0xAA);
    EXPECT_EQ(image.bytes()[slot("SCLB", 8).offset + 2], 0xAA);
}

} // namespace
} // namespace telvor
