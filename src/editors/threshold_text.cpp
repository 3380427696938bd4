#include "threshold_text.h"

#include "leading_number.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace telvor {
namespace {

constexpr double kZeroCelsius = 273.2;
constexpr int kZeroPercentRaw = 1000;
constexpr int kFullPercentRaw = 3000;
constexpr int kRawPerPercent = 20;
// Typed millivolts from here on are only cut off, never rounded up.
constexpr long kLastRoundedMillivolts = 4092;

std::string fixed(double value, int decimals)
{
    std::array<char, 32> buffer{};
    const auto result
        = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, decimals);
    return std::string(buffer.data(), result.ptr);
}

} // namespace

ThresholdUnit inputThresholdUnit(int unitCode)
{
    switch (unitCode) {
    case 0:
        return ThresholdUnit::Millivolts;
    case 1:
    case 5:
        return ThresholdUnit::Percent;
    case 2:
    case 4:
    case 6:
        return ThresholdUnit::Degrees;
    case 3:
        return ThresholdUnit::Plain;
    default:
        return ThresholdUnit::UnknownMillivolts;
    }
}

ThresholdUnit extendedLineThresholdUnit(int typeCode)
{
    switch (typeCode) {
    case 0:
        return ThresholdUnit::Millivolts;
    case 1:
        return ThresholdUnit::Percent;
    case 2:
        return ThresholdUnit::Degrees;
    case 3:
        return ThresholdUnit::Plain;
    default:
        return ThresholdUnit::UnknownMillivolts;
    }
}

std::string thresholdToText(std::uint16_t raw, ThresholdUnit unit)
{
    switch (unit) {
    case ThresholdUnit::Percent: {
        const int clamped = std::clamp<int>(raw, kZeroPercentRaw, kFullPercentRaw);
        return fixed(static_cast<double>(clamped - kZeroPercentRaw) / kRawPerPercent, 0) + " %";
    }
    case ThresholdUnit::Degrees:
        return fixed((raw - 2732) / 10.0, 1) + " 'C";
    case ThresholdUnit::Plain:
        return std::to_string(raw);
    case ThresholdUnit::Millivolts:
    case ThresholdUnit::UnknownMillivolts:
        break;
    }
    return std::to_string(raw) + " mV";
}

std::uint16_t textToThreshold(std::string_view text, ThresholdUnit unit, std::uint16_t previous)
{
    std::string pointed(text);
    std::replace(pointed.begin(), pointed.end(), ',', '.');
    const std::optional<float> number = readLeadingFloat(pointed);
    if (!number)
        return previous;
    float value = *number;
    if (unit == ThresholdUnit::Percent)
        value = static_cast<float>(static_cast<double>(std::clamp(value, 0.0f, 100.0f)) * kRawPerPercent
                                   + kZeroPercentRaw);
    else if (unit == ThresholdUnit::Degrees)
        value = static_cast<float>((static_cast<double>(value) + kZeroCelsius) * 10);
    // Truncated toward zero; saturated just outside 0 to 65535 so that
    // infinities and huge numbers convert safely and still clamp.
    const double truncated = std::trunc(value);
    long raw = truncated <= -1 ? -1 : truncated >= 65536 ? 65536 : static_cast<long>(truncated);
    if (unit == ThresholdUnit::Millivolts && value - truncated > 0.5 && raw < kLastRoundedMillivolts)
        ++raw;
    return static_cast<std::uint16_t>(std::clamp(raw, 0L, 65535L));
}

} // namespace telvor
