#include "editors/input_settings.h"
#include "support/image_bytes.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <vector>

namespace telvor {
namespace {

using enum InputType;

constexpr int kAlarmStateLow = 1;
constexpr int kAlarmStateHigh = 2;

Slot almd(int part)
{
    return slot("ALMD", Field::kNotIndexed, part);
}

// An image whose input `input` (1 to 8) has these flag bytes and thresholds.
SettingsImage inputImage(int input, std::uint8_t inputFlags, std::uint8_t sensorFlags, std::uint16_t lowRaw = 0,
                         std::uint16_t highRaw = 0)
{
    SettingsImage image;
    image.setU8(slot("ICFG", input), inputFlags);
    image.setU8(slot("SCFG", input), sensorFlags);
    image.setU16(slot("ULO", input), lowRaw);
    image.setU16(slot("UHI", input), highRaw);
    return image;
}

// `checked` is the row's only checked type box; none when it is empty.
void expectOnlyChecked(const InputRow& input, std::optional<InputType> checked)
{
    for (const InputType type : kInputTypes)
        EXPECT_EQ(input.type(type), checked == type) << "box " << inputTypeCaption(type);
}

struct SensorCodeRow {
    const char* name;
    int input;
    std::uint8_t inputFlags;
    std::uint8_t sensorFlags;
    std::optional<InputType> checked;
    int unitCode;
};

class SensorCodeOpening : public testing::TestWithParam<SensorCodeRow> {};

TEST_P(SensorCodeOpening, ShowsTheTypeBoxAndTheUnit)
{
    const SensorCodeRow& row = GetParam();
    InputSettings settings;
    settings.unpack(inputImage(row.input, row.inputFlags, row.sensorFlags));
    const InputRow& input = settings.inputs[row.input - 1];
    expectOnlyChecked(input, row.checked);
    EXPECT_EQ(input.unitCode, row.unitCode);
}

INSTANTIATE_TEST_SUITE_P(
    InputSettings, SensorCodeOpening,
    testing::Values(SensorCodeRow{"PlainVoltage", 1, 0x00, 0x00, std::nullopt, 0},
                    SensorCodeRow{"T", 1, 0x80, 0x00, T, 2}, SensorCodeRow{"RH", 2, 0x80, 0x01, RH, 1},
                    SensorCodeRow{"D", 1, 0x80, 0x02, D, 2}, SensorCodeRow{"SWithoutTheSensorBit", 3, 0x00, 0x03, S, 3},
                    SensorCodeRow{"SWithTheSensorBitShowsDegrees", 3, 0x80, 0x03, S, 2},
                    SensorCodeRow{"TROnAnOddInput", 5, 0x80, 0x04, TR, 2},
                    SensorCodeRow{"TRCodeOnAnEvenInputHasNoBox", 6, 0x80, 0x04, std::nullopt, 2},
                    SensorCodeRow{"RROnAnEvenInput", 8, 0x80, 0x05, RR, 1},
                    SensorCodeRow{"RRCodeOnAnOddInputHasNoBoxButPercent", 7, 0x80, 0x05, std::nullopt, 1},
                    SensorCodeRow{"PTOnL6", 6, 0x80, 0x06, PT, 2},
                    SensorCodeRow{"PTCodeOnL7HasNoBox", 7, 0x80, 0x06, std::nullopt, 2},
                    SensorCodeRow{"Kind7WithSensorBit", 4, 0x80, 0x07, std::nullopt, 2},
                    SensorCodeRow{"Kind2WithoutSensorBitIsPlainVoltage", 4, 0x00, 0x02, std::nullopt, 0},
                    SensorCodeRow{"OptionBitsDoNotDisturbTheKind", 2, 0xFF & ~0x80, 0x7B, S, 3}),
    test_support::RowName());

struct TypeBoxPackingRow {
    const char* name;
    int input;
    std::optional<InputType> checked;
    std::uint8_t inputFlags;
    std::uint8_t sensorFlags;
};

class TypeBoxPacking : public testing::TestWithParam<TypeBoxPackingRow> {};

TEST_P(TypeBoxPacking, StoresTheSensorBitAndKindCode)
{
    const TypeBoxPackingRow& row = GetParam();
    SettingsImage image;
    InputSettings settings;
    settings.unpack(image);
    if (row.checked)
        settings.inputs[row.input - 1].type(*row.checked) = true;
    image.bytes().fill(0xFF);
    settings.pack(image);
    EXPECT_EQ(image.u8(slot("ICFG", row.input)), row.inputFlags);
    EXPECT_EQ(image.u8(slot("SCFG", row.input)), row.sensorFlags);
}

INSTANTIATE_TEST_SUITE_P(InputSettings, TypeBoxPacking,
                         testing::Values(TypeBoxPackingRow{"NoBoxIsAPlainVoltageInput", 1, std::nullopt, 0x00, 0x00},
                                         TypeBoxPackingRow{"T", 1, T, 0x80, 0x00},
                                         TypeBoxPackingRow{"RH", 2, RH, 0x80, 0x01},
                                         TypeBoxPackingRow{"D", 3, D, 0x80, 0x02},
                                         TypeBoxPackingRow{"SLeavesTheSensorBitClear", 4, S, 0x00, 0x03},
                                         TypeBoxPackingRow{"TR", 5, TR, 0x80, 0x04},
                                         TypeBoxPackingRow{"RR", 6, RR, 0x80, 0x05},
                                         TypeBoxPackingRow{"PT", 1, PT, 0x80, 0x06}),
                         test_support::RowName());

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

struct OpenedThresholdRow {
    const char* name;
    int input;
    std::uint8_t inputFlags;
    std::uint8_t sensorFlags;
    std::uint16_t lowRaw;
    std::uint16_t highRaw;
    std::optional<InputType> checked;
    const char* lowShown;
    const char* highShown;
    std::uint8_t packedInputFlags;
    std::uint8_t packedSensorFlags;
    std::uint16_t packedLow;
    std::uint16_t packedHigh;
};

class OpenedThreshold : public testing::TestWithParam<OpenedThresholdRow> {};

TEST_P(OpenedThreshold, ShowsInTheRowsUnitAndPacksBackUnchangedOrClamped)
{
    const OpenedThresholdRow& row = GetParam();
    SettingsImage image = inputImage(row.input, row.inputFlags, row.sensorFlags, row.lowRaw, row.highRaw);
    InputSettings settings;
    settings.unpack(image);
    const InputRow& input = settings.inputs[row.input - 1];
    expectOnlyChecked(input, row.checked);
    EXPECT_EQ(input.lowThreshold, row.lowShown);
    EXPECT_EQ(input.highThreshold, row.highShown);

    SettingsImage expected = image;
    expected.setU8(slot("ICFG", row.input), row.packedInputFlags);
    expected.setU8(slot("SCFG", row.input), row.packedSensorFlags);
    expected.setU16(slot("ULO", row.input), row.packedLow);
    expected.setU16(slot("UHI", row.input), row.packedHigh);
    settings.pack(image);
    EXPECT_EQ(image.u8(slot("ICFG", row.input)), row.packedInputFlags);
    EXPECT_EQ(image.u8(slot("SCFG", row.input)), row.packedSensorFlags);
    EXPECT_EQ(image.u16(slot("ULO", row.input)), row.packedLow);
    EXPECT_EQ(image.u16(slot("UHI", row.input)), row.packedHigh);
    EXPECT_EQ(changedOffsets(expected, image), std::vector<int>{});
}

// Humidity shows 0 to 100 % of the raw 1000 to 3000; a sensor kind code
// without a box on its row (TR's on an even row) still sets the unit but is
// not stored again.
INSTANTIATE_TEST_SUITE_P(
    InputSettings, OpenedThreshold,
    testing::Values(OpenedThresholdRow{"DigitalTemperatureInDegrees", 1, 0x80, 0x02, 2982, 0, D, "25.0 'C", "-273.2 'C",
                                       0x80, 0x02, 2982, 0},
                    OpenedThresholdRow{"HumidityBelowZeroPercentIsClamped", 2, 0x80, 0x01, 500, 2000, RH, "0 %", "50 %",
                                       0x80, 0x01, 1000, 2000},
                    OpenedThresholdRow{"HumidityAboveHundredPercentIsClamped", 2, 0x80, 0x01, 1000, 3500, RH, "0 %",
                                       "100 %", 0x80, 0x01, 1000, 3000},
                    OpenedThresholdRow{"ScaledMeasurementShowsBareNumbersAndKeepsTheSensorBitClear", 4, 0x03, 0x03,
                                       1234, 60000, S, "1234", "60000", 0x03, 0x03, 1234, 60000},
                    OpenedThresholdRow{"KindCodeWithoutABoxShowsItsUnitButIsNotStored", 2, 0x80, 0x04, 2982, 0,
                                       std::nullopt, "25.0 'C", "-273.2 'C", 0x00, 0x00, 2982, 0}),
    test_support::RowName());

struct TypedThresholdRow {
    const char* name;
    std::uint8_t inputFlags;
    std::uint8_t sensorFlags;
    const char* text;
    std::uint16_t raw;
};

class TypedThreshold : public testing::TestWithParam<TypedThresholdRow> {};

TEST_P(TypedThreshold, IsStoredInTheRowsUnit)
{
    const TypedThresholdRow& row = GetParam();
    SettingsImage image;
    image.setU8(slot("ICFG", 1), row.inputFlags);
    image.setU8(slot("SCFG", 1), row.sensorFlags);
    InputSettings settings;
    settings.unpack(image);
    settings.inputs[0].lowThreshold = row.text;
    settings.inputs[0].highThreshold = row.text;
    settings.pack(image);
    EXPECT_EQ(image.u16(slot("ULO", 1)), row.raw);
    EXPECT_EQ(image.u16(slot("UHI", 1)), row.raw);
}

INSTANTIATE_TEST_SUITE_P(InputSettings, TypedThreshold,
                         testing::Values(TypedThresholdRow{"DegreesWithComma", 0x80, 0x00, "21,5", 2947},
                                         TypedThresholdRow{"DegreesWithPoint", 0x80, 0x02, "21.5", 2947},
                                         TypedThresholdRow{"NegativeDegrees", 0x80, 0x06, "-10.5", 2627},
                                         TypedThresholdRow{"BelowAbsoluteZero", 0x80, 0x00, "-300", 0},
                                         TypedThresholdRow{"MillivoltsRoundUpAboveOneHalf", 0x00, 0x00, "1234.6", 1235},
                                         TypedThresholdRow{"MillivoltsAtOneHalf", 0x00, 0x00, "1234.5", 1234},
                                         TypedThresholdRow{"MillivoltsFrom4092AreCut", 0x00, 0x00, "5000.9", 5000},
                                         TypedThresholdRow{"NegativeMillivolts", 0x00, 0x00, "-20", 0},
                                         TypedThresholdRow{"ScaledMeasurementIsAPlainNumber", 0x00, 0x03, "1234.6",
                                                           1234},
                                         TypedThresholdRow{"Humidity", 0x80, 0x01, "80", 2600}),
                         test_support::RowName());

struct DelayRow {
    const char* name;
    std::uint8_t stored;
    const char* shown;
    const char* typed; // nullptr: the shown text is left as it is
    std::uint8_t packed;
};

class InputDelay : public testing::TestWithParam<DelayRow> {};

TEST_P(InputDelay, OpensAsTextAndStoresAsByte)
{
    const DelayRow& row = GetParam();
    SettingsImage image;
    image.setU8(slot("ADEL", 7), row.stored);
    InputSettings settings;
    settings.unpack(image);
    EXPECT_EQ(settings.inputs[6].delay, row.shown);
    if (row.typed)
        settings.inputs[6].delay = row.typed;
    settings.pack(image);
    EXPECT_EQ(image.u8(slot("ADEL", 7)), row.packed);
}

INSTANTIATE_TEST_SUITE_P(InputSettings, InputDelay,
                         testing::Values(DelayRow{"NoDelayUnchanged", 0x00, "0 ", nullptr, 0x00},
                                         DelayRow{"FFShowsAndStoresAsNoDelay", 0xFF, "0 ", nullptr, 0x00},
                                         DelayRow{"SecondsUnchanged", 0x1E, "30s", nullptr, 0x1E},
                                         DelayRow{"ThreeHours", 0x00, "0 ", "3h", 0xFE},
                                         DelayRow{"ZeroMinutes", 0x00, "0 ", "0m", 0x80},
                                         DelayRow{"FiveHundredSeconds", 0x00, "0 ", "500", 0x7F},
                                         DelayRow{"OneAndAHalfHours", 0x00, "0 ", "1.5h", 0xBC},
                                         DelayRow{"ThirtySec", 0x85, "5m", "30 sec", 0x1E},
                                         DelayRow{"EmptyKeepsTheStoredDelay", 0x85, "5m", "", 0x85},
                                         DelayRow{"EmptyAfterFFStoresNoDelay", 0xFF, "0 ", "", 0x00}),
                         test_support::RowName());

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
    const std::array<int, kTelephoneCount> thirdSms = {true, false, true, false, true, false, true, false, true, false};
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

struct TypeClickRow {
    const char* name;
    int input;
    std::uint8_t inputFlags;
    std::uint8_t sensorFlags;
    std::vector<Click> clicks;
    const char* lowShown;
    int unitCode;
    std::optional<InputType> checked;
};

class TypeClicks : public testing::TestWithParam<TypeClickRow> {};

TEST_P(TypeClicks, ChangeThePresentationNotTheRawValue)
{
    const TypeClickRow& row = GetParam();
    InputSettings settings;
    settings.unpack(inputImage(row.input, row.inputFlags, row.sensorFlags, 2982, 3100));
    InputRow& input = settings.inputs[row.input - 1];
    for (const Click& click : row.clicks) {
        input.type(click.box) = click.checked;
        settings.typeBoxClicked(row.input, click.box);
    }
    EXPECT_EQ(input.lowThreshold, row.lowShown);
    EXPECT_EQ(input.unitCode, row.unitCode);
    expectOnlyChecked(input, row.checked);
}

INSTANTIATE_TEST_SUITE_P(
    InputSettings, TypeClicks,
    testing::Values(
        TypeClickRow{"CheckingTShowsDegrees", 1, 0x00, 0x00, {{T, true}}, "25.0 'C", 2, T},
        TypeClickRow{
            "UncheckingTShowsMillivoltsAgain", 1, 0x00, 0x00, {{T, true}, {T, false}}, "2982 mV", 0, std::nullopt},
        TypeClickRow{"CheckingDWhereTIsChecked", 1, 0x80, 0x00, {{D, true}}, "25.0 'C", 2, D},
        TypeClickRow{"UncheckingDOpenedChecked", 1, 0x80, 0x02, {{D, false}}, "2982 mV", 0, std::nullopt},
        TypeClickRow{"SShowsTheRawNumber", 2, 0x80, 0x00, {{S, true}}, "2982", 3, S},
        TypeClickRow{"PTAfterS", 2, 0x00, 0x03, {{PT, true}}, "25.0 'C", 6, PT},
        TypeClickRow{"RRShowsPercent", 4, 0x00, 0x00, {{RR, true}}, "99 %", 5, RR},
        TypeClickRow{"TRFromRH", 7, 0x80, 0x01, {{TR, true}}, "24.8 'C", 4, TR}),
    test_support::RowName());

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
