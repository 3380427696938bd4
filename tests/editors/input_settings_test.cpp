#include "editors/input_settings.h"
#include "image_bytes.h"

#include <gtest/gtest.h>

#include <set>

namespace telvor {
namespace {

using enum InputType;

constexpr int kAlarmStateLow = 1;
constexpr int kAlarmStateHigh = 2;

Slot almd(int part)
{
    return slot("ALMD", Field::kNotIndexed, part);
}

TEST(InputSettings, OpensSensorCodesAsTypeBoxesAndUnits)
{
    const struct {
        const char* name;
        int input;
        std::uint8_t inputFlags;
        std::uint8_t sensorFlags;
        std::optional<InputType> checked;
        int unitCode;
    } rows[] = {
        {"plain voltage", 1, 0x00, 0x00, std::nullopt, 0},
        {"T", 1, 0x80, 0x00, T, 2},
        {"RH", 2, 0x80, 0x01, RH, 1},
        {"D", 1, 0x80, 0x02, D, 2},
        {"S without the sensor bit", 3, 0x00, 0x03, S, 3},
        {"S with the sensor bit shows degrees", 3, 0x80, 0x03, S, 2},
        {"TR on an odd input", 5, 0x80, 0x04, TR, 2},
        {"TR code on an even input has no box", 6, 0x80, 0x04, std::nullopt, 2},
        {"RR on an even input", 8, 0x80, 0x05, RR, 1},
        {"RR code on an odd input has no box but percent", 7, 0x80, 0x05, std::nullopt, 1},
        {"PT on L6", 6, 0x80, 0x06, PT, 2},
        {"PT code on L7 has no box", 7, 0x80, 0x06, std::nullopt, 2},
        {"kind 7 with sensor bit", 4, 0x80, 0x07, std::nullopt, 2},
        {"kind 2 without sensor bit is plain voltage", 4, 0x00, 0x02, std::nullopt, 0},
        {"option bits do not disturb the kind", 2, 0xFF & ~0x80, 0x7B, S, 3},
    };
    for (const auto& row : rows) {
        SettingsImage image;
        image.setU8(slot("ICFG", row.input), row.inputFlags);
        image.setU8(slot("SCFG", row.input), row.sensorFlags);
        InputSettings settings;
        settings.unpack(image);
        const InputRow& input = settings.inputs[row.input - 1];
        for (const InputType type : kInputTypes)
            EXPECT_EQ(input.type(type), row.checked == type) << row.name << ", box " << inputTypeCaption(type);
        EXPECT_EQ(input.unitCode, row.unitCode) << row.name;
    }
}

TEST(InputSettings, PacksTypeBoxesAsSensorBitAndKindCode)
{
    const struct {
        const char* name;
        int input;
        std::optional<InputType> checked;
        std::uint8_t inputFlags;
        std::uint8_t sensorFlags;
    } rows[] = {
        {"no box is a plain voltage input", 1, std::nullopt, 0x00, 0x00},
        {"T", 1, T, 0x80, 0x00},
        {"RH", 2, RH, 0x80, 0x01},
        {"D", 3, D, 0x80, 0x02},
        {"S leaves the sensor bit clear", 4, S, 0x00, 0x03},
        {"TR", 5, TR, 0x80, 0x04},
        {"RR", 6, RR, 0x80, 0x05},
        {"PT", 1, PT, 0x80, 0x06},
    };
    for (const auto& row : rows) {
        SettingsImage image;
        InputSettings settings;
        settings.unpack(image);
        if (row.checked)
            settings.inputs[row.input - 1].type(*row.checked) = true;
        image.bytes().fill(0xFF);
        settings.pack(image);
        EXPECT_EQ(image.u8(slot("ICFG", row.input)), row.inputFlags) << row.name;
        EXPECT_EQ(image.u8(slot("SCFG", row.input)), row.sensorFlags) << row.name;
    }
}

TEST(InputSettings, TypeBoxesExistOnTheirRowsOnly)
{
    for (int input = 1; input <= kInputCount; ++input) {
        EXPECT_EQ(inputHasTypeBox(input, TR), input % 2 == 1) << input;
        EXPECT_EQ(inputHasTypeBox(input, RR), input % 2 == 0) << input;
        EXPECT_EQ(inputHasTypeBox(input, PT), input <= 6) << input;
        for (const InputType type : {T, D, RH, S})
            EXPECT_TRUE(inputHasTypeBox(input, type)) << input;
    }
}

TEST(InputSettings, DigitalTemperatureOpensInDegreesAndStoresTheSameRaw)
{
    SettingsImage image;
    image.setU8(slot("ICFG", 1), 0x80);
    image.setU8(slot("SCFG", 1), 0x02);
    image.setU16(slot("ULO", 1), 2982);
    InputSettings settings;
    settings.unpack(image);
    EXPECT_TRUE(settings.inputs[0].type(D));
    EXPECT_EQ(settings.inputs[0].lowThreshold, "25.0 'C");
    const SettingsImage opened = image;
    settings.pack(image);
    EXPECT_EQ(image.u16(slot("ULO", 1)), 2982);
    EXPECT_EQ(image, opened);
}

TEST(InputSettings, HumidityOpensClampedAndStoresTheClampedRaw)
{
    SettingsImage image;
    image.setU8(slot("ICFG", 2), 0x80);
    image.setU8(slot("SCFG", 2), 0x01);
    image.setU16(slot("UHI", 2), 2000);
    image.setU16(slot("ULO", 2), 500);
    InputSettings settings;
    settings.unpack(image);
    EXPECT_TRUE(settings.inputs[1].type(RH));
    EXPECT_EQ(settings.inputs[1].highThreshold, "50 %");
    EXPECT_EQ(settings.inputs[1].lowThreshold, "0 %");
    settings.pack(image);
    EXPECT_EQ(image.u16(slot("ULO", 2)), 1000);
    EXPECT_EQ(image.u16(slot("UHI", 2)), 2000);

    image.setU16(slot("UHI", 2), 3500);
    settings.unpack(image);
    EXPECT_EQ(settings.inputs[1].highThreshold, "100 %");
    settings.pack(image);
    EXPECT_EQ(image.u16(slot("UHI", 2)), 3000);
}

TEST(InputSettings, TypedThresholdsAreStoredInTheRowsUnit)
{
    const struct {
        const char* name;
        std::uint8_t inputFlags;
        std::uint8_t sensorFlags;
        const char* text;
        std::uint16_t raw;
    } rows[] = {
        {"degrees with comma", 0x80, 0x00, "21,5", 2947},
        {"degrees with point", 0x80, 0x02, "21.5", 2947},
        {"negative degrees", 0x80, 0x06, "-10.5", 2627},
        {"below absolute zero", 0x80, 0x00, "-300", 0},
        {"millivolts round up above one half", 0x00, 0x00, "1234.6", 1235},
        {"millivolts at one half", 0x00, 0x00, "1234.5", 1234},
        {"millivolts from 4092 are cut", 0x00, 0x00, "5000.9", 5000},
        {"negative millivolts", 0x00, 0x00, "-20", 0},
        {"scaled measurement is a plain number", 0x00, 0x03, "1234.6", 1234},
        {"humidity", 0x80, 0x01, "80", 2600},
    };
    for (const auto& row : rows) {
        SettingsImage image;
        image.setU8(slot("ICFG", 1), row.inputFlags);
        image.setU8(slot("SCFG", 1), row.sensorFlags);
        InputSettings settings;
        settings.unpack(image);
        settings.inputs[0].lowThreshold = row.text;
        settings.inputs[0].highThreshold = row.text;
        settings.pack(image);
        EXPECT_EQ(image.u16(slot("ULO", 1)), row.raw) << row.name;
        EXPECT_EQ(image.u16(slot("UHI", 1)), row.raw) << row.name;
    }
}

TEST(InputSettings, ScaledMeasurementShowsBareNumbersAndKeepsTheSensorBitClear)
{
    SettingsImage image;
    image.setU8(slot("ICFG", 4), 0x03);
    image.setU8(slot("SCFG", 4), 0x03);
    image.setU16(slot("ULO", 4), 1234);
    image.setU16(slot("UHI", 4), 60000);
    InputSettings settings;
    settings.unpack(image);
    EXPECT_TRUE(settings.inputs[3].type(S));
    EXPECT_EQ(settings.inputs[3].lowThreshold, "1234");
    EXPECT_EQ(settings.inputs[3].highThreshold, "60000");
    settings.pack(image);
    EXPECT_EQ(image.u8(slot("SCFG", 4)) & 0x07, 3);
    EXPECT_EQ(image.u8(slot("ICFG", 4)) & 0x80, 0);
    EXPECT_EQ(image.u16(slot("UHI", 4)), 60000);
}

TEST(InputSettings, DelaysOpenAsTextsAndStoreAsBytes)
{
    const struct {
        const char* name;
        std::uint8_t stored;
        const char* shown;
        const char* typed;
        std::uint8_t packed;
    } rows[] = {
        {"no delay unchanged", 0x00, "0 ", nullptr, 0x00},
        {"0xFF shows and stores as no delay", 0xFF, "0 ", nullptr, 0x00},
        {"seconds unchanged", 0x1E, "30s", nullptr, 0x1E},
        {"3 hours", 0x00, "0 ", "3h", 0xFE},
        {"zero minutes", 0x00, "0 ", "0m", 0x80},
        {"500 seconds", 0x00, "0 ", "500", 0x7F},
        {"one and a half hours", 0x00, "0 ", "1.5h", 0xBC},
        {"30 sec", 0x85, "5m", "30 sec", 0x1E},
        {"empty keeps the stored delay", 0x85, "5m", "", 0x85},
        {"empty after 0xFF stores no delay", 0xFF, "0 ", "", 0x00},
    };
    for (const auto& row : rows) {
        SettingsImage image;
        image.setU8(slot("ADEL", 7), row.stored);
        InputSettings settings;
        settings.unpack(image);
        EXPECT_EQ(settings.inputs[6].delay, row.shown) << row.name;
        if (row.typed)
            settings.inputs[6].delay = row.typed;
        settings.pack(image);
        EXPECT_EQ(image.u8(slot("ADEL", 7)), row.packed) << row.name;
    }
}

TEST(InputSettings, UnchangedPackClearsTheBitsNoBoxOwns)
{
    SettingsImage image;
    image.bytes().fill(0xFF);
    InputSettings settings;
    settings.unpack(image);
    settings.pack(image);
    for (int input = 1; input <= kInputCount; ++input) {
        EXPECT_EQ(image.u8(slot("SCFG", input)) & 0x80, 0) << input;
        EXPECT_EQ(image.u8(slot("ECFG", input)), 0x1F) << input;
        EXPECT_EQ(image.u8(slot("ADEL", input)), 0x00) << input;
    }
}

TEST(InputSettings, FlagsOpenAsBoxesAndPackBackBitForBit)
{
    SettingsImage image;
    image.setU8(slot("ICFG", 3), 0b0101'0101); // HL, SMS 1, 3, 5
    image.setU8(slot("ECFG", 3), 0b1110'1010); // SMS 7, 9 and unowned bits
    image.setU8(slot("SCFG", 3), 0b0100'1000); // N, F
    image.setU8(slot("ICFG", 8), 0b0010'1010); // LH, SMS 2, 4
    image.setU8(slot("SCFG", 8), 0b0011'0000); // R, C
    image.setU8(slot("HIST1"), 17);
    image.setU8(slot("HIST2"), 255);
    image.setU8(almd(kAlarmStateLow), 0b1000'0001);
    image.setU8(almd(kAlarmStateHigh), 0b0100'0010);
    InputSettings settings;
    settings.unpack(image);

    const InputRow& third = settings.inputs[2];
    EXPECT_TRUE(third.highToLow);
    EXPECT_FALSE(third.lowToHigh);
    const std::array<int, kTelephoneCount> thirdSms = {true,  false, true, false, true,
                                                        false, true,  false, true, false};
    EXPECT_EQ(third.sms, thirdSms);
    EXPECT_TRUE(third.notifyReturn);
    EXPECT_TRUE(third.limitFrequency);
    EXPECT_FALSE(third.ring);
    EXPECT_FALSE(third.wakingHoursOnly);
    const InputRow& eighth = settings.inputs[7];
    EXPECT_TRUE(eighth.lowToHigh);
    EXPECT_TRUE(eighth.sms[1]);
    EXPECT_TRUE(eighth.sms[3]);
    EXPECT_TRUE(eighth.ring);
    EXPECT_TRUE(eighth.wakingHoursOnly);
    EXPECT_EQ(settings.insensitivityL1toL4, 17);
    EXPECT_EQ(settings.insensitivityL5toL8, 255);
    EXPECT_TRUE(settings.lowStateAlarm[0]);
    EXPECT_TRUE(settings.lowStateAlarm[7]);
    EXPECT_TRUE(settings.highStateAlarm[1]);
    EXPECT_TRUE(settings.highStateAlarm[6]);
    EXPECT_FALSE(settings.highStateAlarm[0]);

    settings.pack(image);
    EXPECT_EQ(image.u8(slot("ICFG", 3)), 0b0101'0101);
    EXPECT_EQ(image.u8(slot("ECFG", 3)), 0b0000'1010);
    EXPECT_EQ(image.u8(slot("SCFG", 3)), 0b0100'1000);
    EXPECT_EQ(image.u8(slot("ICFG", 8)), 0b0010'1010);
    EXPECT_EQ(image.u8(slot("SCFG", 8)), 0b0011'0000);
    EXPECT_EQ(image.u8(slot("HIST1")), 17);
    EXPECT_EQ(image.u8(slot("HIST2")), 255);
    EXPECT_EQ(image.u8(almd(kAlarmStateLow)), 0b1000'0001);
    EXPECT_EQ(image.u8(almd(kAlarmStateHigh)), 0b0100'0010);
}

TEST(InputSettings, PackWritesOnlyTheEditorsFields)
{
    const std::set<std::string> owned = {"ULO", "UHI", "ICFG", "SCFG", "HIST1", "HIST2", "ALMD", "ADEL", "ECFG"};
    SettingsImage image = patternedImage();
    const SettingsImage before = image;
    InputSettings settings;
    settings.unpack(image);
    for (InputRow& row : settings.inputs) {
        row.lowThreshold = "1";
        row.highThreshold = "2";
        row.delay = "3";
    }
    settings.insensitivityL1toL4 = 4;
    settings.insensitivityL5toL8 = 5;
    settings.pack(image);
    for (const Field& field : kSettingsFields) {
        if (owned.count(std::string(field.key)) || (field.key == "SCFG" && !field.indexed()))
            continue;
        for (int offset = field.offset; offset < field.end(); ++offset)
            EXPECT_EQ(image.bytes()[offset], before.bytes()[offset]) << field.key << " at " << offset;
    }
    // SCFG without an index is the ninth sensor byte, of the counter input.
    EXPECT_EQ(image.u8(slot("SCFG")), before.u8(slot("SCFG")));
}

struct Click {
    InputType box;
    bool checked;
};

TEST(InputSettings, TypeClicksChangeThePresentationNotTheRawValue)
{
    const struct {
        const char* name;
        int input;
        std::uint8_t inputFlags;
        std::uint8_t sensorFlags;
        std::vector<Click> clicks;
        const char* lowShown;
        int unitCode;
        std::vector<InputType> checked;
    } rows[] = {
        {"checking T shows degrees", 1, 0x00, 0x00, {{T, true}}, "25.0 'C", 2, {T}},
        {"unchecking T shows millivolts again", 1, 0x00, 0x00, {{T, true}, {T, false}}, "2982 mV", 0, {}},
        {"checking D where T is checked", 1, 0x80, 0x00, {{D, true}}, "25.0 'C", 2, {D}},
        {"unchecking D opened checked", 1, 0x80, 0x02, {{D, false}}, "2982 mV", 0, {}},
        {"S shows the raw number", 2, 0x80, 0x00, {{S, true}}, "2982", 3, {S}},
        {"PT after S", 2, 0x00, 0x03, {{PT, true}}, "25.0 'C", 6, {PT}},
        {"RR shows percent", 4, 0x00, 0x00, {{RR, true}}, "99 %", 5, {RR}},
        {"TR from RH", 7, 0x80, 0x01, {{TR, true}}, "24.8 'C", 4, {TR}},
    };
    for (const auto& row : rows) {
        SettingsImage image;
        image.setU8(slot("ICFG", row.input), row.inputFlags);
        image.setU8(slot("SCFG", row.input), row.sensorFlags);
        image.setU16(slot("ULO", row.input), 2982);
        image.setU16(slot("UHI", row.input), 3100);
        InputSettings settings;
        settings.unpack(image);
        InputRow& input = settings.inputs[row.input - 1];
        for (const Click& click : row.clicks) {
            input.type(click.box) = click.checked;
            settings.typeBoxClicked(row.input, click.box);
        }
        EXPECT_EQ(input.lowThreshold, row.lowShown) << row.name;
        EXPECT_EQ(input.unitCode, row.unitCode) << row.name;
        for (const InputType type : kInputTypes) {
            const bool expected = std::find(row.checked.begin(), row.checked.end(), type) != row.checked.end();
            EXPECT_EQ(input.type(type), expected) << row.name << ", box " << inputTypeCaption(type);
        }
    }
}

TEST(InputSettings, TypeClicksLeaveMillivoltsAndDegreesRawValuesIntact)
{
    SettingsImage image;
    image.setU16(slot("ULO", 5), 2982);
    image.setU16(slot("UHI", 5), 65535);
    InputSettings settings;
    settings.unpack(image);
    InputRow& input = settings.inputs[4];
    for (const InputType box : {T, D, S, TR, PT, T}) {
        input.type(box) = true;
        settings.typeBoxClicked(5, box);
    }
    input.type(T) = false;
    settings.typeBoxClicked(5, T);
    EXPECT_EQ(input.lowThreshold, "2982 mV");
    EXPECT_EQ(input.highThreshold, "65535 mV");
    settings.pack(image);
    EXPECT_EQ(image.u16(slot("ULO", 5)), 2982);
    EXPECT_EQ(image.u16(slot("UHI", 5)), 65535);
}

TEST(InputSettings, PackUsesTheRowsUnitCodeNotItsBoxes)
{
    SettingsImage image;
    image.setU8(slot("ICFG", 2), 0x80);
    image.setU8(slot("SCFG", 2), 0x04); // TR's code on an even row: no box, degrees
    image.setU16(slot("ULO", 2), 2982);
    InputSettings settings;
    settings.unpack(image);
    EXPECT_EQ(settings.inputs[1].lowThreshold, "25.0 'C");
    settings.pack(image);
    EXPECT_EQ(image.u16(slot("ULO", 2)), 2982);
    EXPECT_EQ(image.u8(slot("ICFG", 2)), 0x00);
    EXPECT_EQ(image.u8(slot("SCFG", 2)), 0x00);
}

TEST(InputSettings, AThresholdWithoutANumberKeepsItsRawValue)
{
    SettingsImage image;
    image.setU16(slot("ULO", 1), 2982);
    image.setU16(slot("UHI", 1), 3100);
    InputSettings settings;
    settings.unpack(image);
    InputRow& input = settings.inputs[0];
    input.lowThreshold = "";
    input.type(T) = true;
    settings.typeBoxClicked(1, T);
    EXPECT_EQ(input.lowThreshold, "25.0 'C");
    input.highThreshold = "warm";
    settings.pack(image);
    EXPECT_EQ(image.u16(slot("ULO", 1)), 2982);
    EXPECT_EQ(image.u16(slot("UHI", 1)), 3100);
}

} // namespace
} // namespace telvor
