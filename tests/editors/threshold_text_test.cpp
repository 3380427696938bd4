#include "editors/threshold_text.h"

#include <gtest/gtest.h>

namespace telvor {
namespace {

using enum ThresholdUnit;

struct ShownRow {
    const char* name;
    std::uint16_t raw;
    ThresholdUnit unit;
    const char* text;
};

TEST(ThresholdToText, ShowsTheRawValueInTheSensorsUnit)
{
    const ShownRow rows[] = {
        {"millivolts", 1500, Millivolts, "1500 mV"},
        {"largest millivolts", 65535, Millivolts, "65535 mV"},
        {"unknown code shows millivolts", 1500, UnknownMillivolts, "1500 mV"},
        {"plain number", 1500, Plain, "1500"},
        {"25 degrees", 2982, Degrees, "25.0 'C"},
        {"zero degrees", 2732, Degrees, "0.0 'C"},
        {"one tenth below zero", 2731, Degrees, "-0.1 'C"},
        {"raw zero is absolute zero", 0, Degrees, "-273.2 'C"},
        {"largest raw in degrees", 65535, Degrees, "6280.3 'C"},
        {"half humidity", 2000, Percent, "50 %"},
        {"humidity below the scale clamps to 0 %", 500, Percent, "0 %"},
        {"humidity above the scale clamps to 100 %", 3500, Percent, "100 %"},
        {"half a percent rounds to even, down", 1010, Percent, "0 %"},
        {"one and a half percent rounds to even, up", 1030, Percent, "2 %"},
        {"99.1 percent", 2982, Percent, "99 %"},
    };
    for (const ShownRow& row : rows)
        EXPECT_EQ(thresholdToText(row.raw, row.unit), row.text) << row.name;
}

struct ReadRow {
    const char* name;
    const char* text;
    ThresholdUnit unit;
    std::uint16_t raw;
};

TEST(TextToThreshold, ReadsTheTypedNumberInSinglePrecision)
{
    constexpr std::uint16_t kPrevious = 4321;
    const ReadRow rows[] = {
        {"degrees with a decimal comma", "21,5", Degrees, 2947},
        {"degrees with a decimal point", "21.5", Degrees, 2947},
        {"degrees below zero", "-10.5", Degrees, 2627},
        {"below absolute zero clamps to 0", "-300", Degrees, 0},
        {"degrees as shown", "25.0 'C", Degrees, 2982},
        {"absolute zero as shown", "-273.2 'C", Degrees, 0},
        {"degrees beyond the raw range clamp", "7000", Degrees, 65535},
        {"millivolts above one half round up", "1234.6", Millivolts, 1235},
        {"millivolts at one half are cut", "1234.5", Millivolts, 1234},
        {"millivolts from 4092 are only cut", "5000.9", Millivolts, 5000},
        {"4091.9 millivolts still round", "4091.9", Millivolts, 4092},
        {"4092.9 millivolts are cut", "4092.9", Millivolts, 4092},
        {"negative millivolts clamp to 0", "-20", Millivolts, 0},
        {"millivolts as shown", "1500 mV", Millivolts, 1500},
        {"millivolts beyond the raw range clamp", "70000", Millivolts, 65535},
        {"exponent", "1.5e3", Millivolts, 1500},
        {"huge exponent clamps", "1e99", Millivolts, 65535},
        {"huge negative clamps", "-1e99", Degrees, 0},
        {"tiny number is zero", "1e-99", Millivolts, 0},
        {"unknown code cuts the fraction", "1234.6 mV", UnknownMillivolts, 1234},
        {"plain number cuts the fraction", "1234.6", Plain, 1234},
        {"half humidity", "50 %", Percent, 2000},
        {"humidity above 100 % clamps", "120", Percent, 3000},
        {"humidity below 0 % clamps", "-5", Percent, 1000},
        {"humidity fraction", "12.34", Percent, 1246},
        {"leading blanks", "  \t42", Plain, 42},
        {"plus sign", "+42", Plain, 42},
        {"fraction without integer part", ".5", Degrees, 2737},
        {"empty box keeps the previous value", "", Degrees, kPrevious},
        {"blank box keeps the previous value", "   ", Millivolts, kPrevious},
        {"letters keep the previous value", "abc", Percent, kPrevious},
        {"a lone sign keeps the previous value", "-", Plain, kPrevious},
        {"a lone point keeps the previous value", ". 5", Plain, kPrevious},
    };
    for (const ReadRow& row : rows)
        EXPECT_EQ(textToThreshold(row.text, row.unit, kPrevious), row.raw) << row.name;
}

TEST(Threshold, EveryRawValueSurvivesItsTextInMillivoltsAndPlain)
{
    for (const ThresholdUnit unit : {Millivolts, Plain, UnknownMillivolts}) {
        for (int raw = 0; raw <= 65535; ++raw) {
            const auto value = static_cast<std::uint16_t>(raw);
            ASSERT_EQ(textToThreshold(thresholdToText(value, unit), unit, 0), value) << thresholdToText(value, unit);
        }
    }
}

TEST(Threshold, DegreesFromMinus100CelsiusUpSurviveTheirText)
{
    for (int raw = 1732; raw <= 65535; ++raw) {
        const auto value = static_cast<std::uint16_t>(raw);
        ASSERT_EQ(textToThreshold(thresholdToText(value, Degrees), Degrees, 0), value)
            << thresholdToText(value, Degrees);
    }
}

TEST(Threshold, SinglePrecisionLosesATenthNearAbsoluteZero)
{
    EXPECT_EQ(textToThreshold(thresholdToText(1, Degrees), Degrees, 0), 0);
    EXPECT_EQ(textToThreshold(thresholdToText(1024, Degrees), Degrees, 0), 1023);
}

TEST(Threshold, HumidityTextHoldsWholePercentsOnly)
{
    EXPECT_EQ(textToThreshold(thresholdToText(2980, Percent), Percent, 0), 2980);
    EXPECT_EQ(textToThreshold(thresholdToText(2982, Percent), Percent, 0), 2980);
    EXPECT_EQ(textToThreshold(thresholdToText(500, Percent), Percent, 0), 1000);
    EXPECT_EQ(textToThreshold(thresholdToText(3500, Percent), Percent, 0), 3000);
}

TEST(ThresholdUnits, InputsAndExtendedLinesReadTheirCodesApart)
{
    const ThresholdUnit inputs[] = {Millivolts, Percent, Degrees, Plain, Degrees, Percent, Degrees};
    for (int code = 0; code < 7; ++code)
        EXPECT_EQ(inputThresholdUnit(code), inputs[code]) << code;
    EXPECT_EQ(inputThresholdUnit(7), UnknownMillivolts);

    EXPECT_EQ(extendedLineThresholdUnit(0), Millivolts);
    EXPECT_EQ(extendedLineThresholdUnit(1), Percent);
    EXPECT_EQ(extendedLineThresholdUnit(2), Degrees);
    EXPECT_EQ(extendedLineThresholdUnit(3), Plain);
    for (const int code : {4, 5, 6, 255})
        EXPECT_EQ(extendedLineThresholdUnit(code), UnknownMillivolts) << code;
}

} // namespace
} // namespace telvor
