#include "editors/leading_number.h"

#include <gtest/gtest.h>

#include <limits>

namespace telvor {
namespace {

TEST(ReadLeadingFloat, ReadsTheNumberAtTheStartOnly)
{
    constexpr float kInfinity = std::numeric_limits<float>::infinity();
    const struct {
        const char* name;
        const char* text;
        std::optional<float> value;
    } rows[] = {
        {"integer", "42", 42.0f},
        {"trailing point", "7.", 7.0f},
        {"leading point", ".25", 0.25f},
        {"negative exponent", "-2.5e-1x", -0.25f},
        {"exponent without digits is left over", "3e", 3.0f},
        {"exponent sign without digits is left over", "3e+", 3.0f},
        {"hexadecimal prefix reads the zero only", "0x10", 0.0f},
        {"infinity is not a number", "inf", std::nullopt},
        {"blanks then suffix", " \n 12 mV", 12.0f},
        {"overflow is infinite", "5e38", kInfinity},
        {"negative overflow", "-123456789e40", -kInfinity},
        {"long fraction overflow", "0.5e39", kInfinity},
        {"underflow is zero", "0.0001e-50", 0.0f},
        {"sign then blank", "- 5", std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const auto& row : rows)
        EXPECT_EQ(readLeadingFloat(row.text), row.value) << row.name;
}

TEST(ReadLeadingInteger, ReadsSignedDigitsAndSaturates)
{
    const struct {
        const char* name;
        const char* text;
        std::optional<long long> value;
    } rows[] = {
        {"integer with suffix", "12abc", 12},
        {"blanks and sign", "  -7", -7},
        {"plus sign", "+3", 3},
        {"fraction is left over", "1.5h", 1},
        {"trailing blank and more digits ignored", "4 5", 4},
        {"too large saturates", "99999999999999999999999", std::numeric_limits<long long>::max()},
        {"too small saturates", "-99999999999999999999999", -std::numeric_limits<long long>::max()},
        {"letters first", "m5", std::nullopt},
        {"empty", "", std::nullopt},
        {"sign alone", "-", std::nullopt},
        {"blank between sign and digits", "- 5", std::nullopt},
        {"two signs", "+-5", std::nullopt},
    };
    for (const auto& row : rows)
        EXPECT_EQ(readLeadingInteger(row.text), row.value) << row.name;
}

} // namespace
} // namespace telvor
