#include "delay_text.h"

#include "leading_number.h"

#include <algorithm>

namespace telvor {
namespace {

constexpr std::uint8_t kMinutes = 0x80;
constexpr std::uint8_t kCountMask = 0x7F;
constexpr std::uint8_t kNoDelay = 0xFF;
constexpr int kLargestCount = 127;

} // namespace

DelayUnit delayUnitOf(std::string_view text)
{
    for (const char character : text) {
        if (character == 'm' || character == 'M' || character == '\'')
            return DelayUnit::Minutes;
        if (character == 'h' || character == 'H' || character == 'g' || character == 'G')
            return DelayUnit::Hours;
    }
    return DelayUnit::Seconds;
}

int largestDelayCount(DelayUnit unit)
{
    switch (unit) {
    case DelayUnit::Minutes:
        return (kNoDelay - 1) & kCountMask;
    case DelayUnit::Hours:
        return kLargestCount / 60;
    case DelayUnit::Seconds:
        break;
    }
    return kLargestCount;
}

std::string delayToText(std::uint8_t delay)
{
    if (delay == kNoDelay)
        delay = 0;
    const char unit = delay == 0 ? ' ' : (delay & kMinutes) ? 'm' : 's';
    return std::to_string(delay & kCountMask) + unit;
}

std::uint8_t textToDelay(std::string_view text, std::uint8_t previous)
{
    const std::optional<long long> number = readLeadingInteger(text);
    if (!number)
        return previous == kNoDelay ? 0 : previous;
    const DelayUnit unit = delayUnitOf(text);
    // Clamping before the hours are turned into minutes keeps the product
    // small; anything from 3 hours on ends at the largest count either way.
    int count = static_cast<int>(std::clamp<long long>(*number, 0, kLargestCount));
    if (unit == DelayUnit::Hours)
        count = std::min(count * 60, kLargestCount);
    if (unit == DelayUnit::Seconds)
        return static_cast<std::uint8_t>(count);
    const auto delay = static_cast<std::uint8_t>(count | kMinutes);
    return delay == kNoDelay ? static_cast<std::uint8_t>(delay - 1) : delay;
}

} // namespace telvor
