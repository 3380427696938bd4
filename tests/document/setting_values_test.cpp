// Each kind of value, applied onto an image whose bits are all clear and onto
// one whose bits are all set: exactly the bytes and bits of the setting
// change, and the export then shows the value in the dialog's form, or as
// {raw: N} where that form cannot carry it.
#include "document/setting_table.h"
#include "document/setting_value.h"
#include "document/settings_document.h"
#include "document_text.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

#include <vector>

namespace telvor {
namespace {

using test_support::documentGiving;

// What a value does to one field: the bits of `mask` become `bits`, or, for
// a text, the field becomes `text` followed by 0x00 bytes.
struct Change {
    Slot field;
    std::uint32_t mask = 0;
    std::uint32_t bits = 0;
    std::string text;
    bool wholeText = false;
};

Change bitsOf(const Slot& field, std::uint32_t mask, std::uint32_t bits)
{
    return {field, mask, bits, {}, false};
}

Change textOf(const Slot& field, std::string bytes)
{
    return {field, 0, 0, std::move(bytes), true};
}

void applyChange(SettingsImage& image, const Change& change)
{
    const auto bytes = image.bytesOf(change.field);
    if (change.wholeText) {
        for (std::size_t index = 0; index < bytes.size(); ++index)
            bytes[index] = index < change.text.size() ? static_cast<std::uint8_t>(change.text[index]) : 0;
        return;
    }
    for (std::size_t index = 0; index < bytes.size(); ++index) {
        const auto mask = static_cast<std::uint8_t>(change.mask >> (8 * index));
        const auto bits = static_cast<std::uint8_t>(change.bits >> (8 * index));
        bytes[index] = static_cast<std::uint8_t>((bytes[index] & ~mask) | (bits & mask));
    }
}

struct ValueRow {
    const char* name;
    std::string document;
    std::vector<Change> changes;
    const char* shownPath;
    Value shown;
};

void PrintTo(const ValueRow& row, std::ostream* out)
{
    *out << row.name;
}

class SettingValue : public testing::TestWithParam<ValueRow> {};

TEST_P(SettingValue, ChangesOnlyItsBitsAndShowsAsTheDialog)
{
    const ValueRow& row = GetParam();
    for (const std::uint8_t fill : {0x00, 0xFF}) {
        SCOPED_TRACE(fill == 0 ? "onto all bits clear" : "onto all bits set");
        SettingsImage image;
        image.bytes().fill(fill);
        SettingsImage expected = image;
        for (const Change& change : row.changes)
            applyChange(expected, change);

        const std::vector<DocumentError> errors = applyDocument(row.document, image);
        ASSERT_TRUE(errors.empty()) << errorLine("doc", errors.front());
        for (std::size_t offset = 0; offset < kImageSize; ++offset)
            ASSERT_EQ(image.bytes()[offset], expected.bytes()[offset]) << "offset " << offset;
        EXPECT_EQ(shownValue(image, *findSetting(row.shownPath)), row.shown);

        // The same value again changes nothing.
        const SettingsImage once = image;
        EXPECT_TRUE(applyDocument(row.document, image).empty());
        EXPECT_EQ(image, once);
    }
}

std::string threshold(std::string_view input, std::string_view type, std::string_view name, std::string_view value)
{
    return "format: telvor-settings 1\ninputs:\n  " + std::string(input) + ":\n    type: " + std::string(type)
        + "\n    " + std::string(name) + ": " + std::string(value) + "\n";
}

const Slot kMcfg1 = slot("MCFG1");
const Slot kMcfg2 = slot("MCFG2");
const Slot kCsd = slot("SCFG");
const Slot kSlog = slot("SLOG");

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Texts, SettingValue,
    testing::Values(
        ValueRow{"ShortTextEndsWithZeros", documentGiving("basic.pin", "1234"),
                 {textOf(slot("PIN"), "1234")}, "basic.pin", Value::quoted("1234")},
        ValueRow{"FullWidthTextHasNoTerminator", documentGiving("basic.num_3", "+486001002037777"),
                 {textOf(slot("NUM", 3), "+486001002037777")}, "basic.num_3", Value::quoted("+486001002037777")},
        ValueRow{"PolishLettersAsWindows1250", documentGiving("messages.L1", "\"Łódź\""),
                 {textOf(slot("SMS", 1), "\xA3\xF3" "d\x9F")}, "messages.L1", Value::quoted("Łódź")},
        ValueRow{"UndefinedBytesAsEscapes", documentGiving("internet.apn_name", R"("\x81\x83\x88\x90\x98")"),
                 {textOf(slot("APN", 0), "\x81\x83\x88\x90\x98")}, "internet.apn_name",
                 Value::quoted("\u0081\u0083\u0088\u0090\u0098")},
        ValueRow{"ControlBytesAsEscapes", documentGiving("extended_lines.XL2.body", R"("a\tb\x01\x7F")"),
                 {textOf(slot("XMS", 2), "a\tb\x01\x7F")}, "extended_lines.XL2.body",
                 Value::quoted("a\tb\x01\x7F")},
        ValueRow{"EmptyValueEqualsAnEmptyField", documentGiving("internet.message", ""),
                 {}, "internet.message", Value::quoted("")},
        ValueRow{"BalanceCodeOfEightCharacters", documentGiving("basic.balance_check_code", "\"*101*23#\""),
                 {textOf(slot("URL2"), "*101*2"), bitsOf(slot("URL2", Field::kNotIndexed, 7), 0xFF, '3'),
                  bitsOf(slot("URL2", Field::kNotIndexed, 8), 0xFF, '#')},
                 "basic.balance_check_code", Value::quoted("*101*23#")},
        ValueRow{"BalanceCodeOfThreeCharacters", documentGiving("basic.balance_check_code", "\"*1#\""),
                 {textOf(slot("URL2"), "*1#"), bitsOf(slot("URL2", Field::kNotIndexed, 7), 0xFF, 0),
                  bitsOf(slot("URL2", Field::kNotIndexed, 8), 0xFF, 0)},
                 "basic.balance_check_code", Value::quoted("*1#")}),
    test_support::RowName());

INSTANTIATE_TEST_SUITE_P(
    Numbers, SettingValue,
    testing::Values(
        ValueRow{"LargestU16", documentGiving("basic.periodical_report_period", "65535"),
                 {bitsOf(slot("TRPT"), 0xFFFF, 0xFFFF)}, "basic.periodical_report_period", Value::plain("65535")},
        ValueRow{"NegativeScalingFactor", documentGiving("scaling.L1.a", "-1000"),
                 {bitsOf(slot("SCLA", 1), 0xFFFF, 0xFC18)}, "scaling.L1.a", Value::plain("-1000")},
        ValueRow{"LowestScalingFactor", documentGiving("scaling.L8.b", "-32767"),
                 {bitsOf(slot("SCLB", 8), 0xFFFF, 0x8001)}, "scaling.L8.b", Value::plain("-32767")},
        ValueRow{"SendingHourKeepsThePeriodsBits", documentGiving("email.log_sending_hour", "6"),
                 {bitsOf(kSlog, 0x1F, 6)}, "email.log_sending_hour", Value::plain("6")},
        ValueRow{"NetworkCode65535IsStoredAsZeroLikeTheDialog", documentGiving("basic.network_code", "65535"),
                 {bitsOf(slot("COPS"), 0xFFFF, 0)}, "basic.network_code", Value::plain("0")},
        ValueRow{"Insensitivity", documentGiving("inputs.insensitivity_l5_l8", "255"),
                 {bitsOf(slot("HIST2"), 0xFF, 255)}, "inputs.insensitivity_l5_l8", Value::plain("255")}),
    test_support::RowName());

INSTANTIATE_TEST_SUITE_P(
    CheckBoxes, SettingValue,
    testing::Values(
        ValueRow{"LcdTakesTheBitsNoEditorKeeps", documentGiving("basic.lcd_support", "true"),
                 {bitsOf(kMcfg1, 0xE0, 0x20)}, "basic.lcd_support", Value::plain("true")},
        ValueRow{"HiddenPinSwitch", documentGiving("basic.pin_active", "false"),
                 {bitsOf(kMcfg1, 0x02, 0)}, "basic.pin_active", Value::plain("false")},
        ValueRow{"OneBitOfTheSharedByte", documentGiving("internet.www_authorisation", "true"),
                 {bitsOf(kMcfg2, 0x04, 0x04)}, "internet.www_authorisation", Value::plain("true")},
        ValueRow{"Buzzer", documentGiving("outputs.buzzer", "false"),
                 {bitsOf(kMcfg2, 0x40, 0)}, "outputs.buzzer", Value::plain("false")},
        ValueRow{"RingBeforeSms", documentGiving("inputs.L3.ring_before_sms", "true"),
                 {bitsOf(slot("SCFG", 3), 0x10, 0x10)}, "inputs.L3.ring_before_sms", Value::plain("true")},
        ValueRow{"HiddenJpgBox", documentGiving("email.L2.send_jpg", "true"),
                 {bitsOf(slot("SEML", 2), 0xE0, 0x20)}, "email.L2.send_jpg", Value::plain("true")}),
    test_support::RowName());

INSTANTIATE_TEST_SUITE_P(
    Choices, SettingValue,
    testing::Values(
        ValueRow{"ThermostatCooling", documentGiving("outputs.O3.mode", "Cooling"),
                 {bitsOf(slot("OCFG", 3), 0xFE, 0x08)}, "outputs.O3.mode", Value::plain("Cooling")},
        ValueRow{"LowSignalling", documentGiving("outputs.O1.mode", "L1(LOW) signaling"),
                 {bitsOf(slot("OCFG", 1), 0xFE, 0x02)}, "outputs.O1.mode", Value::plain("L1(LOW) signaling")},
        ValueRow{"CsdSpeed", documentGiving("csd_port.speed", "14400"),
                 {bitsOf(kCsd, 0xE0, 0x80)}, "csd_port.speed", Value::plain("14400")},
        ValueRow{"CsdParity", documentGiving("csd_port.parity", "EVEN"),
                 {bitsOf(kCsd, 0x18, 0x08)}, "csd_port.parity", Value::plain("EVEN")},
        ValueRow{"LogEverySevenDays", documentGiving("email.log_send_period", "7"),
                 {bitsOf(kSlog, 0xE0, 0x60)}, "email.log_send_period", Value::plain("7")},
        ValueRow{"ExtendedLinesHumidity", documentGiving("extended_lines.xl9_xl16.type", "RH"),
                 {bitsOf(slot("XTYP9"), 0xFF, 1)}, "extended_lines.xl9_xl16.type", Value::plain("RH")},
        ValueRow{"DigitalHumidityOnAnEvenInput", documentGiving("inputs.L2.type", "RR"),
                 {bitsOf(slot("ICFG", 2), 0x80, 0x80), bitsOf(slot("SCFG", 2), 0x07, 5)}, "inputs.L2.type",
                 Value::plain("RR")},
        ValueRow{"ScaledMeasurementHasNoSensorBit", documentGiving("inputs.L5.type", "S"),
                 {bitsOf(slot("ICFG", 5), 0x80, 0), bitsOf(slot("SCFG", 5), 0x07, 3)}, "inputs.L5.type",
                 Value::plain("S")},
        ValueRow{"PlainVoltageInput", documentGiving("inputs.L1.type", "none"),
                 {bitsOf(slot("ICFG", 1), 0x80, 0), bitsOf(slot("SCFG", 1), 0x07, 0)}, "inputs.L1.type",
                 Value::plain("none")}),
    test_support::RowName());

INSTANTIATE_TEST_SUITE_P(
    Lists, SettingValue,
    testing::Values(
        ValueRow{"MondayAndDayOff", documentGiving("basic.periodical_report_days", "[Mo, D-o]"),
                 {bitsOf(slot("WKD", 3), 0xFF, 0x81)}, "basic.periodical_report_days", Value::list({"Mo", "D-o"})},
        ValueRow{"NumbersAndAnyone", documentGiving("authorization.on_demand_report_from", "[6, ANYONE, 1]"),
                 {bitsOf(slot("CLIP"), 0xFF, 0x81), bitsOf(slot("CLIP", Field::kNotIndexed, 2), 0xFF, 0x01)},
                 "authorization.on_demand_report_from", Value::list({"1", "6", "ANYONE"})},
        ValueRow{"CsdNumberFive", documentGiving("authorization.csd_modem_connection_from", "[5]"),
                 {bitsOf(slot("CSDC"), 0xFF, 0x10)}, "authorization.csd_modem_connection_from", Value::list({"5"})},
        ValueRow{"InputSmsNumbersInTwoBytes", documentGiving("inputs.L4.sms_to", "[1, 5, 6, 10]"),
                 {bitsOf(slot("ICFG", 4), 0x7C, 0x44), bitsOf(slot("ECFG", 4), 0xFF, 0x11)}, "inputs.L4.sms_to",
                 Value::list({"1", "5", "6", "10"})},
        ValueRow{"AlarmStateInputs", documentGiving("inputs.alarm_state_high", "[L1, L8]"),
                 {bitsOf(slot("ALMD", Field::kNotIndexed, 2), 0xFF, 0x81)}, "inputs.alarm_state_high",
                 Value::list({"L1", "L8"})},
        ValueRow{"LineSmsNumbers", documentGiving("extended_lines.XL16.sms_to", "[2, 3]"),
                 {bitsOf(slot("XCFG", 16), 0xFC, 0x18)}, "extended_lines.XL16.sms_to", Value::list({"2", "3"})},
        ValueRow{"EmptyList", documentGiving("extended_lines.email_to", "[]"),
                 {bitsOf(slot("SXML"), 0xFF, 0)}, "extended_lines.email_to", Value::list({})},
        ValueRow{"ReportHours", documentGiving("basic.report_hours", "[20, 0, 7]"),
                 {bitsOf(slot("RPTHR"), 0xFFFFFFFF, 0x00100081)}, "basic.report_hours",
                 Value::list({"0", "7", "20"})},
        ValueRow{"WakingHoursInABlockList", documentGiving("basic.waking_hours", "\n  - 8\n  - 12\n  - 23"),
                 {bitsOf(slot("GRDHR"), 0xFFFFFFFF, 0x00801100)}, "basic.waking_hours",
                 Value::list({"8", "12", "23"})}),
    test_support::RowName());

INSTANTIATE_TEST_SUITE_P(
    Delays, SettingValue,
    testing::Values(
        ValueRow{"Seconds", documentGiving("inputs.L1.delayed_alarm_time", "\"30s\""),
                 {bitsOf(slot("ADEL", 1), 0xFF, 0x1E)}, "inputs.L1.delayed_alarm_time", Value::quoted("30s")},
        ValueRow{"PlainNumberIsSeconds", documentGiving("inputs.L2.delayed_alarm_time", "45"),
                 {bitsOf(slot("ADEL", 2), 0xFF, 0x2D)}, "inputs.L2.delayed_alarm_time", Value::quoted("45s")},
        ValueRow{"MinutesAsTheDialogReads", documentGiving("inputs.L3.delayed_alarm_time", "10 min"),
                 {bitsOf(slot("ADEL", 3), 0xFF, 0x8A)}, "inputs.L3.delayed_alarm_time", Value::quoted("10m")},
        ValueRow{"HoursBecomeMinutes", documentGiving("inputs.L4.delayed_alarm_time", "2h"),
                 {bitsOf(slot("ADEL", 4), 0xFF, 0xF8)}, "inputs.L4.delayed_alarm_time", Value::quoted("120m")},
        ValueRow{"NoMinutes", documentGiving("inputs.L5.delayed_alarm_time", "0m"),
                 {bitsOf(slot("ADEL", 5), 0xFF, 0x80)}, "inputs.L5.delayed_alarm_time", Value::quoted("0m")},
        ValueRow{"NoDelay", documentGiving("inputs.L6.delayed_alarm_time", "\"0\""),
                 {bitsOf(slot("ADEL", 6), 0xFF, 0)}, "inputs.L6.delayed_alarm_time", Value::quoted("0")}),
    test_support::RowName());

INSTANTIATE_TEST_SUITE_P(
    Thresholds, SettingValue,
    testing::Values(
        ValueRow{"DegreesOfADigitalSensor", threshold("L1", "D", "low_threshold", "25.0"),
                 {bitsOf(slot("ICFG", 1), 0x80, 0x80), bitsOf(slot("SCFG", 1), 0x07, 2),
                  bitsOf(slot("ULO", 1), 0xFFFF, 2982)}, "inputs.L1.low_threshold", Value::plain("25.0")},
        ValueRow{"NegativeDegrees", threshold("L2", "T", "high_threshold", "-10.5"),
                 {bitsOf(slot("ICFG", 2), 0x80, 0x80), bitsOf(slot("SCFG", 2), 0x07, 0),
                  bitsOf(slot("UHI", 2), 0xFFFF, 2627)}, "inputs.L2.high_threshold", Value::plain("-10.5")},
        ValueRow{"HumidityPercent", threshold("L3", "RH", "high_threshold", "50"),
                 {bitsOf(slot("ICFG", 3), 0x80, 0x80), bitsOf(slot("SCFG", 3), 0x07, 1),
                  bitsOf(slot("UHI", 3), 0xFFFF, 2000)}, "inputs.L3.high_threshold", Value::plain("50")},
        ValueRow{"MillivoltsRoundAsTheDialog", threshold("L4", "none", "low_threshold", "1234.6"),
                 {bitsOf(slot("ICFG", 4), 0x80, 0), bitsOf(slot("SCFG", 4), 0x07, 0),
                  bitsOf(slot("ULO", 4), 0xFFFF, 1235)}, "inputs.L4.low_threshold", Value::plain("1235")},
        ValueRow{"ScaledPlainValue", threshold("L5", "S", "low_threshold", "40000"),
                 {bitsOf(slot("ICFG", 5), 0x80, 0), bitsOf(slot("SCFG", 5), 0x07, 3),
                  bitsOf(slot("ULO", 5), 0xFFFF, 40000)}, "inputs.L5.low_threshold", Value::plain("40000")},
        ValueRow{"ExtendedLinesDegrees",
                 "format: telvor-settings 1\nextended_lines:\n  xl1_xl8: {type: T/D, lower_threshold: 20.0}\n",
                 {bitsOf(slot("XTYP1"), 0xFF, 2), bitsOf(slot("XLO1"), 0xFFFF, 2932)},
                 "extended_lines.xl1_xl8.lower_threshold", Value::plain("20.0")}),
    test_support::RowName());

INSTANTIATE_TEST_SUITE_P(
    Raw, SettingValue,
    testing::Values(
        ValueRow{"UnsetNetworkCode", documentGiving("basic.network_code", "{raw: 65535}"),
                 {bitsOf(slot("COPS"), 0xFFFF, 0xFFFF)}, "basic.network_code", Value::rawBits(65535)},
        ValueRow{"FourthByteOfAnHourSet", documentGiving("basic.report_hours", "{raw: 16777344}"),
                 {bitsOf(slot("RPTHR"), 0xFFFFFFFF, 0x01000080)}, "basic.report_hours", Value::rawBits(16777344)},
        ValueRow{"TwoThermostatModes", documentGiving("outputs.O1.mode", "{raw: 6}"),
                 {bitsOf(slot("OCFG", 1), 0xFE, 0x06)}, "outputs.O1.mode", Value::rawBits(6)},
        ValueRow{"SensorKindWithoutABoxOnTheRow", documentGiving("inputs.L2.type", "{raw: 1152}"),
                 {bitsOf(slot("ICFG", 2), 0x80, 0x80), bitsOf(slot("SCFG", 2), 0x07, 4)}, "inputs.L2.type",
                 Value::rawBits(1152)},
        ValueRow{"SpeedCodeWithoutAButton", documentGiving("csd_port.speed", "{raw: 224}"),
                 {bitsOf(kCsd, 0xE0, 0xE0)}, "csd_port.speed", Value::rawBits(224)},
        ValueRow{"ParityCodeWithoutAButton", documentGiving("csd_port.parity", "{raw: 24}"),
                 {bitsOf(kCsd, 0x18, 0x18)}, "csd_port.parity", Value::rawBits(24)},
        ValueRow{"DelayThatReadsAsNone", documentGiving("inputs.L7.delayed_alarm_time", "{raw: 255}"),
                 {bitsOf(slot("ADEL", 7), 0xFF, 0xFF)}, "inputs.L7.delayed_alarm_time", Value::rawBits(255)},
        ValueRow{"HumidityThePercentCannotCarry", threshold("L8", "RH", "low_threshold", "{raw: 1010}"),
                 {bitsOf(slot("ICFG", 8), 0x80, 0x80), bitsOf(slot("SCFG", 8), 0x07, 1),
                  bitsOf(slot("ULO", 8), 0xFFFF, 1010)}, "inputs.L8.low_threshold", Value::rawBits(1010)},
        ValueRow{"ScalingFactorTheDialogRefuses", documentGiving("scaling.L1.a", "{raw: 32768}"),
                 {bitsOf(slot("SCLA", 1), 0xFFFF, 0x8000)}, "scaling.L1.a", Value::rawBits(32768)},
        ValueRow{"BitsNoEditorKeeps", documentGiving("basic.lcd_support", "{raw: 192}"),
                 {bitsOf(kMcfg1, 0xE0, 0xC0)}, "basic.lcd_support", Value::rawBits(192)},
        ValueRow{"ExtendedLineTypeCode", documentGiving("extended_lines.xl1_xl8.type", "{raw: 3}"),
                 {bitsOf(slot("XTYP1"), 0xFF, 3)}, "extended_lines.xl1_xl8.type", Value::rawBits(3)},
        ValueRow{"ReportBitBeyondTheNumbers", documentGiving("authorization.periodical_report_to", "{raw: 8193}"),
                 {bitsOf(slot("RCFG"), 0xFF, 0x01), bitsOf(slot("RCFG", Field::kNotIndexed, 3), 0xFF, 0x20)},
                 "authorization.periodical_report_to", Value::rawBits(8193)},
        ValueRow{"LogPeriodWithBitSeven", documentGiving("email.log_send_period", "{raw: 128}"),
                 {bitsOf(kSlog, 0xE0, 0x80)}, "email.log_send_period", Value::rawBits(128)},
        ValueRow{"RawThatTheFormCouldCarryShowsInTheForm", documentGiving("outputs.O5.mode", "{raw: 4}"),
                 {bitsOf(slot("OCFG", 5), 0xFE, 0x04)}, "outputs.O5.mode", Value::plain("Heating")}),
    test_support::RowName());
// clang-format on

// An extended-line type code the dialog does not know shows its thresholds as
// bare numbers (3) or in millivolts (4 and up), as the dialog does.
TEST(SettingValueUnits, ExtendedLineThresholdsFollowTheStoredTypeCode)
{
    SettingsImage image;
    image.setU8(slot("XTYP1"), 3);
    image.setU16(slot("XLO1"), 2932);
    image.setU8(slot("XTYP9"), 7);
    image.setU16(slot("XHI9"), 2600);
    EXPECT_EQ(shownValue(image, *findSetting("extended_lines.xl1_xl8.lower_threshold")), Value::plain("2932"));
    EXPECT_EQ(shownValue(image, *findSetting("extended_lines.xl9_xl16.upper_threshold")), Value::plain("2600"));
    image.setU8(slot("XTYP1"), 1);
    EXPECT_EQ(shownValue(image, *findSetting("extended_lines.xl1_xl8.lower_threshold")), Value::rawBits(2932));
}

// Texts read as the editors read them: 0xFF ends a text as 0x00 does, and
// what follows the end is not part of the value.
TEST(SettingValueTexts, EndAtZeroOrFfAndEqualTextsLeaveTheFieldAlone)
{
    SettingsImage image;
    image.bytes().fill(0x5A);
    const Slot pin = slot("PIN");
    image.setText(pin, "12");
    image.bytes()[pin.offset + 3] = 0x77; // junk after the terminator
    EXPECT_EQ(shownValue(image, *findSetting("basic.pin")), Value::quoted("12"));
    const SettingsImage before = image;
    EXPECT_TRUE(applyDocument(documentGiving("basic.pin", "\"12\""), image).empty());
    EXPECT_EQ(image, before);

    image.bytes()[pin.offset + 1] = 0xFF;
    EXPECT_EQ(shownValue(image, *findSetting("basic.pin")), Value::quoted("1"));

    // A text that differs fills the whole field, junk after its end included.
    EXPECT_TRUE(applyDocument(documentGiving("basic.pin", ""), image).empty());
    EXPECT_EQ(image.text(pin), "");
    for (int offset = pin.offset; offset < pin.offset + pin.width; ++offset)
        EXPECT_EQ(image.bytes()[offset], 0) << offset;
    EXPECT_EQ(image.bytes()[pin.offset + pin.width], 0x5A);
}

// Control bytes and the bytes without a Windows-1250 character are written
// as YAML escapes, everything else as its character.
TEST(SettingValueTexts, ExportWritesControlAndUndefinedBytesAsEscapes)
{
    SettingsImage image;
    image.setText(slot("PIN"), "\x01\x81\x7F\xA3\t");
    const std::string document = exportDocument(image);
    EXPECT_NE(document.find("\n  pin: \"\\x01\\x81\\x7f\u0141\\t\"\n"), std::string::npos) << document;
    SettingsImage read;
    ASSERT_TRUE(applyDocument(document, read).empty());
    EXPECT_EQ(read.text(slot("PIN")), "\x01\x81\x7F\xA3\t");
}

} // namespace
} // namespace telvor
