#include "image/settings_image.h"

#include <gtest/gtest.h>

#include <vector>

namespace telvor {
namespace {

std::vector<Slot> everySlot()
{
    std::vector<Slot> slots;
    for (const Field& field : kSettingsFields) {
        if (field.encoding == Reserved)
            continue;
        if (!field.indexed()) {
            slots.push_back(slot(field.key, Field::kNotIndexed, field.part));
            continue;
        }
        for (int index = field.firstIndex; index <= field.lastIndex(); ++index)
            slots.push_back(slot(field.key, index, field.part));
    }
    return slots;
}

TEST(SettingsFields, CoverTheRecordWithoutGapOrOverlap)
{
    std::vector<int> owners(kImageSize, 0);
    for (const Field& field : kSettingsFields)
        for (int element = 0; element < field.count; ++element)
            for (int byte = 0; byte < field.width; ++byte)
                ++owners.at(field.offset + element * field.stride + byte);
    for (std::size_t offset = 0; offset < kImageSize; ++offset)
        EXPECT_EQ(owners[offset], 1) << "offset " << offset;
}

TEST(SettingsFields, RowsStandInOffsetOrderAndSixteenBitFieldsAreEven)
{
    int previousEnd = 0;
    for (const Field& field : kSettingsFields) {
        EXPECT_EQ(field.offset, previousEnd) << field.key;
        previousEnd = field.end();
        if (field.width == 2) {
            EXPECT_EQ(field.offset % 2, 0) << field.key;
        }
    }
    EXPECT_EQ(previousEnd, static_cast<int>(kImageSize));
}

TEST(SettingsFields, ReservedStretchesAreTheDocumentedOnes)
{
    std::vector<std::pair<int, int>> reserved;
    for (const Field& field : kSettingsFields)
        if (field.encoding == Reserved)
            reserved.emplace_back(field.offset, field.end() - 1);
    EXPECT_EQ(reserved, (std::vector<std::pair<int, int>>{{2014, 2045}, {3229, 3229}, {3262, 3384}, {3595, 3595}}));
}

TEST(SettingsFields, ElementsLieWhereTheirOffsetRulesSay)
{
    EXPECT_EQ(slot("NUM", 3).offset, 8 + 16 * 3);
    EXPECT_EQ(slot("NUM", 10).offset, 3140 + 16 * 4);
    EXPECT_EQ(slot("ULO", 8).offset, 104 + 2 * 8);
    EXPECT_EQ(slot("ICFG", 1).offset, 138);
    EXPECT_EQ(slot("OCFG", 8).offset, 153);
    EXPECT_EQ(slot("SMS", 9).offset, 163 + 160 * 9);
    EXPECT_EQ(slot("XMS", 17).offset, 2459 + 40 * 16);
    EXPECT_EQ(slot("SCLB", 8).offset, 3244 + 2 * 8);
    EXPECT_EQ(slot("WKD", 3).offset, 3387);
    EXPECT_EQ(slot("RCFG", Field::kNotIndexed, 3).offset, 3592);
    EXPECT_EQ(slot("URL2", Field::kNotIndexed, 8).offset, 3389);
    EXPECT_FALSE(findSlot("NUM", 11));
    EXPECT_FALSE(findSlot("ICFG", 0));
    EXPECT_FALSE(findSlot("CLIP", Field::kNotIndexed, 3));
}

TEST(SettingsFields, NamesResolveAsTheDeviceWritesThem)
{
    EXPECT_EQ(slotByName("ICFG3")->offset, 140);
    EXPECT_EQ(slotByName("NUM10")->offset, 3204);
    EXPECT_EQ(slotByName("SCFG")->offset, 162);
    EXPECT_EQ(slotByName("SCFG1")->offset, 154);
    EXPECT_EQ(slotByName("HIST2")->offset, 1764);
    EXPECT_EQ(slotByName("XLO9")->offset, 3600);
    EXPECT_EQ(slotByName("MCFG2")->offset, 2441);
    EXPECT_EQ(slotByName("RCFG", 2)->offset, 2432);
    EXPECT_FALSE(slotByName("ICFG9"));
    EXPECT_FALSE(slotByName("NUM06"));
    EXPECT_FALSE(slotByName("ICFGx"));
    EXPECT_FALSE(slotByName(""));
    EXPECT_EQ(slotByName("SCLA5")->name(), "SCLA5");
    EXPECT_EQ(slot("CTRL", Field::kNotIndexed, 2).name(), "CTRL.2");
}

TEST(SettingsImage, WritingAFieldChangesNoByteOutsideIt)
{
    for (const Slot& element : everySlot()) {
        SettingsImage image;
        image.bytes().fill(0xA5);
        const SettingsImage before = image;
        if (element.encoding == Text || element.encoding == Hours)
            image.bytesOf(element)[element.width - 1] = 0x11;
        if (element.encoding == Text)
            image.setText(element, std::string(500, 'x'));
        else
            image.setNumber(element, 0x12345);
        for (std::size_t offset = 0; offset < kImageSize; ++offset) {
            const bool inside = static_cast<int>(offset) >= element.offset
                && static_cast<int>(offset) < element.offset + element.width;
            if (!inside) {
                ASSERT_EQ(image.bytes()[offset], before.bytes()[offset])
                    << element.name() << " changed offset " << offset;
            }
        }
    }
}

TEST(SettingsImage, NumbersAreLittleEndianAndCutToTheirWidth)
{
    SettingsImage image;
    image.setNumber(slot("TRPT"), 70000);
    EXPECT_EQ(image.bytes()[104], 0x70);
    EXPECT_EQ(image.bytes()[105], 0x11);
    EXPECT_EQ(image.number(slot("TRPT")), 4464);
    image.setNumber(slot("SCLA", 3), -5);
    EXPECT_EQ(image.bytes()[3234], 0xFB);
    EXPECT_EQ(image.bytes()[3235], 0xFF);
    EXPECT_EQ(image.number(slot("SCLA", 3)), -5);
    image.setNumber(slot("HIST1"), 300);
    EXPECT_EQ(image.number(slot("HIST1")), 44);
}

TEST(SettingsImage, AllOnesReadsAsMaximaAndMinusOne)
{
    SettingsImage image;
    image.bytes().fill(0xFF);
    EXPECT_EQ(image.number(slot("ICFG", 1)), 255);
    EXPECT_EQ(image.number(slot("NUID")), 65535);
    EXPECT_EQ(image.number(slot("SCLB", 8)), -1);
}

TEST(SettingsImage, FullWidthTextHasNoTerminatorAndStopsAtItsWidth)
{
    SettingsImage image;
    image.setText(slot("NUM", 4), "4444");
    image.setText(slot("NUM", 3), "0123456789ABCDEF");
    EXPECT_EQ(image.text(slot("NUM", 3)), "0123456789ABCDEF");
    EXPECT_EQ(image.text(slot("NUM", 4)), "4444");

    image.setText(slot("SMS", 9), std::string(160, 'b'));
    image.setNumber(slot("HIST1"), 7);
    EXPECT_EQ(slot("SMS", 9).offset + slot("SMS", 9).width, 1763);
    EXPECT_EQ(image.text(slot("SMS", 9)), std::string(160, 'b'));
}

TEST(SettingsImage, ShorterTextWritesOneTerminatorAndLeavesTheRest)
{
    SettingsImage image;
    image.bytes().fill('z');
    image.setText(slot("PIN"), "12");
    EXPECT_EQ(image.bytes()[2], 0);
    EXPECT_EQ(image.bytes()[3], 'z');
    EXPECT_EQ(image.text(slot("PIN")), "12");
}

} // namespace
} // namespace telvor
