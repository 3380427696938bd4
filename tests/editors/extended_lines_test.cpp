#include "editors/extended_lines.h"
#include "support/image_bytes.h"

#include <gtest/gtest.h>

#include <set>

namespace telvor {
namespace {

using enum LineSensor;

constexpr int kFirstGroup = 0;
constexpr int kSecondGroup = 1;

TEST(ExtendedLines, GroupTypesOpenAsBoxesAndUnits)
{
    const struct {
        const char* name;
        std::uint8_t type;
        std::uint16_t low;
        bool temperature;
        bool humidity;
        const char* lowShown;
        std::uint8_t typePacked;
        std::uint16_t lowPacked;
    } rows[] = {
        {"millivolts", 0, 2932, false, false, "2932 mV", 0, 2932},
        {"humidity", 1, 2600, false, true, "80 %", 1, 2600},
        {"temperature", 2, 2932, true, false, "20.0 'C", 2, 2932},
        {"type 3 shows a bare number", 3, 2932, false, false, "2932", 0, 2932},
        {"type 4 shows millivolts", 4, 2932, false, false, "2932 mV", 0, 2932},
        {"type 5 is not humidity here", 5, 2932, false, false, "2932 mV", 0, 2932},
        {"type 6 is not temperature here", 6, 2932, false, false, "2932 mV", 0, 2932},
        {"type 255", 255, 2932, false, false, "2932 mV", 0, 2932},
    };
    for (const int group : {kFirstGroup, kSecondGroup}) {
        const std::string_view typeKey = group == kFirstGroup ? "XTYP1" : "XTYP9";
        const std::string_view lowKey = group == kFirstGroup ? "XLO1" : "XLO9";
        for (const auto& row : rows) {
            SettingsImage image;
            image.setU8(slot(typeKey), row.type);
            image.setU16(slot(lowKey), row.low);
            ExtendedLines lines;
            lines.unpack(image);
            const LineGroup& shown = lines.groups[group];
            EXPECT_EQ(shown.temperature, row.temperature) << row.name << ", group " << group;
            EXPECT_EQ(shown.humidity, row.humidity) << row.name << ", group " << group;
            EXPECT_EQ(shown.lowThreshold, row.lowShown) << row.name << ", group " << group;
            EXPECT_EQ(shown.typeCode, row.type) << row.name << ", group " << group;
            lines.pack(image);
            EXPECT_EQ(image.u8(slot(typeKey)), row.typePacked) << row.name << ", group " << group;
            EXPECT_EQ(image.u16(slot(lowKey)), row.lowPacked) << row.name << ", group " << group;
        }
    }
}

TEST(ExtendedLines, UncheckingHumidityShowsMillivoltsAndStoresTypeZero)
{
    SettingsImage image;
    image.setU8(slot("XTYP9"), 1);
    image.setU16(slot("XHI9"), 2600);
    ExtendedLines lines;
    lines.unpack(image);
    LineGroup& group = lines.groups[kSecondGroup];
    EXPECT_TRUE(group.humidity);
    EXPECT_EQ(group.highThreshold, "80 %");
    group.humidity = false;
    lines.typeBoxClicked(kSecondGroup, Humidity);
    EXPECT_EQ(group.highThreshold, "2600 mV");
    EXPECT_EQ(group.typeCode, 0);
    lines.pack(image);
    EXPECT_EQ(image.u8(slot("XTYP9")), 0);
    EXPECT_EQ(image.u16(slot("XHI9")), 2600);
}

TEST(ExtendedLines, TypeClicksExcludeEachOtherAndKeepRawValues)
{
    const struct {
        const char* name;
        std::uint8_t type;
        LineSensor box;
        bool checked;
        bool temperature;
        bool humidity;
        int typeCode;
        const char* lowShown;
    } rows[] = {
        {"T/D from millivolts", 0, Temperature, true, true, false, 2, "25.0 'C"},
        {"RH from millivolts", 0, Humidity, true, false, true, 1, "99 %"},
        {"T/D over RH", 1, Temperature, true, true, false, 2, "24.8 'C"},
        {"RH over T/D", 2, Humidity, true, false, true, 1, "99 %"},
        {"T/D unchecked", 2, Temperature, false, false, false, 0, "2982 mV"},
        {"T/D from a bare number", 3, Temperature, true, true, false, 2, "25.0 'C"},
    };
    for (const auto& row : rows) {
        SettingsImage image;
        image.setU8(slot("XTYP1"), row.type);
        image.setU16(slot("XLO1"), 2982);
        ExtendedLines lines;
        lines.unpack(image);
        LineGroup& group = lines.groups[kFirstGroup];
        (row.box == Temperature ? group.temperature : group.humidity) = row.checked;
        lines.typeBoxClicked(kFirstGroup, row.box);
        EXPECT_EQ(group.temperature, row.temperature) << row.name;
        EXPECT_EQ(group.humidity, row.humidity) << row.name;
        EXPECT_EQ(group.typeCode, row.typeCode) << row.name;
        EXPECT_EQ(group.lowThreshold, row.lowShown) << row.name;
        EXPECT_EQ(lines.groups[kSecondGroup].typeCode, 0) << row.name;
    }
}

TEST(ExtendedLines, UnknownTypeCodeReadsTypedMillivoltsWithoutRounding)
{
    SettingsImage image;
    image.setU8(slot("XTYP1"), 4);
    ExtendedLines lines;
    lines.unpack(image);
    LineGroup& group = lines.groups[kFirstGroup];
    group.lowThreshold = "1234.6 mV";
    group.temperature = true;
    lines.typeBoxClicked(kFirstGroup, Temperature);
    EXPECT_EQ(group.lowRaw, 1234);
    // At OK the code comes from the boxes, and millivolts round there.
    group.temperature = false;
    group.lowThreshold = "1234.6 mV";
    lines.pack(image);
    EXPECT_EQ(image.u16(slot("XLO1")), 1235);
}

TEST(ExtendedLines, PackTakesTheTypeFromTheBoxesNotTheCurrentCode)
{
    SettingsImage image;
    ExtendedLines lines;
    lines.unpack(image);
    lines.groups[kFirstGroup].temperature = true;
    lines.groups[kFirstGroup].lowThreshold = "20";
    lines.groups[kSecondGroup].humidity = true;
    lines.groups[kSecondGroup].highThreshold = "80";
    lines.pack(image);
    EXPECT_EQ(image.u8(slot("XTYP1")), 2);
    EXPECT_EQ(image.u16(slot("XLO1")), 2932);
    EXPECT_EQ(image.u8(slot("XTYP9")), 1);
    EXPECT_EQ(image.u16(slot("XHI9")), 2600);
}

TEST(ExtendedLines, ThresholdWithoutANumberKeepsItsRawValue)
{
    SettingsImage image;
    image.setU8(slot("XTYP9"), 2);
    image.setU16(slot("XLO9"), 2932);
    image.setU16(slot("XHI9"), 3000);
    ExtendedLines lines;
    lines.unpack(image);
    LineGroup& group = lines.groups[kSecondGroup];
    group.lowThreshold = "";
    group.temperature = false;
    lines.typeBoxClicked(kSecondGroup, Temperature);
    EXPECT_EQ(group.lowThreshold, "2932 mV");
    group.highThreshold = "none";
    lines.pack(image);
    EXPECT_EQ(image.u16(slot("XLO9")), 2932);
    EXPECT_EQ(image.u16(slot("XHI9")), 3000);
}

TEST(ExtendedLines, BodiesAreCutToFortyCharactersOnPack)
{
    const struct {
        const char* name;
        std::string typed;
        std::string reopened;
    } rows[] = {
        {"45 characters keep the first 40", std::string(40, 'a') + "bcdef", std::string(40, 'a')},
        {"exactly 40 characters", std::string(39, 'x') + "y", std::string(39, 'x') + "y"},
        {"short body", "Door open @XS1", "Door open @XS1"},
        {"Windows-1250 bytes pass unchanged", "\xA5\xB9\xE6", "\xA5\xB9\xE6"},
    };
    for (const auto& row : rows) {
        SettingsImage image;
        image.bytes().fill(0x55);
        ExtendedLines lines;
        lines.unpack(image);
        lines.lines[15].body = row.typed;
        lines.communicationControl.body = row.typed;
        lines.pack(image);
        lines.unpack(image);
        EXPECT_EQ(lines.lines[15].body, row.reopened) << row.name;
        EXPECT_EQ(lines.communicationControl.body, row.reopened) << row.name;
        EXPECT_EQ(image.u8(slot("SXML")), 0x15) << row.name; // the field after XMS17
    }
}

TEST(ExtendedLines, AllOnesBodyOpensEmptyAndIsStoredAsZeros)
{
    SettingsImage image;
    image.bytes().fill(0xFF);
    ExtendedLines lines;
    lines.unpack(image);
    EXPECT_EQ(lines.lines[0].body, "");
    EXPECT_EQ(lines.communicationControl.body, "");
    lines.pack(image);
    for (const std::uint8_t byte : image.bytesOf(slot("XMS", 1)))
        EXPECT_EQ(byte, 0);
    for (const std::uint8_t byte : image.bytesOf(slot("XMS", 17)))
        EXPECT_EQ(byte, 0);
}

TEST(ExtendedLines, SupportBoxesChangeOnlyTheirBitsOfMcfg2)
{
    const struct {
        const char* name;
        std::uint8_t stored;
        bool expansionModule;
        bool energyCounter;
        std::uint8_t packed;
    } rows[] = {
        {"both unchecked from all set", 0xFF, false, false, 0xDE},
        {"both checked from none", 0x00, true, true, 0x21},
        {"expansion module only", 0x5A, true, false, 0x5B},
        {"energy counter only", 0x81, false, true, 0xA0},
    };
    for (const auto& row : rows) {
        SettingsImage image;
        image.setU8(slot("MCFG2"), row.stored);
        ExtendedLines lines;
        lines.unpack(image);
        EXPECT_EQ(lines.expansionModule, (row.stored & 0x01) != 0) << row.name;
        EXPECT_EQ(lines.energyCounter, (row.stored & 0x20) != 0) << row.name;
        lines.expansionModule = row.expansionModule;
        lines.energyCounter = row.energyCounter;
        lines.pack(image);
        EXPECT_EQ(image.u8(slot("MCFG2")), row.packed) << row.name;
    }
}

TEST(ExtendedLines, UnchangedPackClearsTheBitsNoBoxOwns)
{
    SettingsImage image;
    image.bytes().fill(0xFF);
    ExtendedLines lines;
    lines.unpack(image);
    lines.pack(image);
    for (int line = 1; line <= kExtendedLineCount; ++line)
        EXPECT_EQ(image.u8(slot("XCFG", line)), 0x7F) << line;
    EXPECT_EQ(image.u8(slot("XCFG", 17)), 0x7C);
    EXPECT_EQ(image.u8(slot("SXML")), 0x1F);
    EXPECT_EQ(image.u8(slot("MCFG2")), 0xFF);
}

TEST(ExtendedLines, LineFlagsOpenAsBoxesAndPackBackBitForBit)
{
    SettingsImage image;
    image.setU8(slot("XCFG", 1), 0b0000'0001);  // HL
    image.setU8(slot("XCFG", 9), 0b0100'0110);  // LH, SMS 1, SMS 5
    image.setU8(slot("XCFG", 16), 0b0010'1000); // SMS 2, SMS 4
    image.setU8(slot("XCFG", 17), 0b0001'0100); // SMS 1, SMS 3
    image.setU8(slot("SXML"), 0b0001'0010);     // e-mail 2, 5
    ExtendedLines lines;
    lines.unpack(image);
    EXPECT_TRUE(lines.lines[0].highToLow);
    EXPECT_FALSE(lines.lines[0].lowToHigh);
    EXPECT_TRUE(lines.lines[8].lowToHigh);
    const std::array<int, kLineSmsCount> ninth = {true, false, false, false, true};
    EXPECT_EQ(lines.lines[8].sms, ninth);
    const std::array<int, kLineSmsCount> sixteenth = {false, true, false, true, false};
    EXPECT_EQ(lines.lines[15].sms, sixteenth);
    const std::array<int, kLineSmsCount> control = {true, false, true, false, false};
    EXPECT_EQ(lines.communicationControl.sms, control);
    const std::array<int, kEmailAddressCount> email = {false, true, false, false, true};
    EXPECT_EQ(lines.email, email);

    const SettingsImage opened = image;
    lines.pack(image);
    EXPECT_EQ(image, opened);
}

TEST(ExtendedLines, PackWritesOnlyTheEditorsFields)
{
    const std::set<std::string> owned
        = {"MCFG2", "XCFG", "XMS", "SXML", "XLO1", "XHI1", "XLO9", "XHI9", "XTYP1", "XTYP9"};
    SettingsImage image = patternedImage();
    const SettingsImage before = image;
    ExtendedLines lines;
    lines.unpack(image);
    lines.expansionModule = !lines.expansionModule;
    lines.groups[kFirstGroup].lowThreshold = "12";
    lines.pack(image);
    for (const Field& field : kSettingsFields) {
        if (owned.count(std::string(field.key)))
            continue;
        for (int offset = field.offset; offset < field.end(); ++offset)
            EXPECT_EQ(image.bytes()[offset], before.bytes()[offset]) << field.key << " at " << offset;
    }
}

} // namespace
} // namespace telvor
