// Thresholds and delays typed as arbitrary text. The first byte picks the
// sensor unit, the next two give the value held before; the rest is the
// text. Results stay in their ranges, a text that is no number keeps the
// value held, and what the editors show reads back to the same display.
#include "fuzz_check.h"

#include "editors/delay_text.h"
#include "editors/threshold_text.h"

#include <cctype>
#include <cstdint>
#include <string>
#include <string_view>

using namespace telvor;

namespace {

constexpr std::uint8_t kNoDelay = 0xFF;
constexpr int kLargestDelayCount = 127;
constexpr std::uint16_t kZeroPercentRaw = 1000;
constexpr std::uint16_t kFullPercentRaw = 3000;
// Up to here (-170.8 'C) the single-precision reading of a shown temperature
// may come out a tenth lower; the editors' own tests hold that loss.
constexpr std::uint16_t kLastDegreesLosingATenth = 1024;

constexpr ThresholdUnit kUnits[] = {ThresholdUnit::Millivolts, ThresholdUnit::Percent, ThresholdUnit::Degrees,
                                    ThresholdUnit::Plain, ThresholdUnit::UnknownMillivolts};

// Whether the text begins, after blanks, with what could start a number.
bool mayBeginANumber(std::string_view text)
{
    std::size_t position = 0;
    while (position < text.size() && (text[position] == ' ' || (text[position] >= '\t' && text[position] <= '\r')))
        ++position;
    if (position < text.size() && (text[position] == '+' || text[position] == '-'))
        ++position;
    if (position < text.size() && (text[position] == '.' || text[position] == ','))
        ++position;
    return position < text.size() && text[position] >= '0' && text[position] <= '9';
}

void checkThreshold(std::string_view text, ThresholdUnit unit, std::uint16_t previous)
{
    const std::uint16_t raw = textToThreshold(text, unit, previous);
    if (!mayBeginANumber(text))
        fuzzCheck(raw == previous, "a text that is no number keeps the threshold");
    else if (unit == ThresholdUnit::Percent)
        fuzzCheck(raw >= kZeroPercentRaw && raw <= kFullPercentRaw, "humidity stays within 0 to 100 %");

    const std::string shown = thresholdToText(raw, unit);
    const std::uint16_t again = textToThreshold(shown, unit, static_cast<std::uint16_t>(raw ^ 0x5555));
    if (unit == ThresholdUnit::Millivolts || unit == ThresholdUnit::UnknownMillivolts || unit == ThresholdUnit::Plain)
        fuzzCheck(again == raw, "a threshold shown reads back to itself");
    if (unit != ThresholdUnit::Degrees || raw > kLastDegreesLosingATenth)
        fuzzCheck(thresholdToText(again, unit) == shown, "a threshold shown reads back to the same display");
}

void checkDelay(std::string_view text, std::uint8_t previous)
{
    const std::uint8_t delay = textToDelay(text, previous);
    fuzzCheck(delay != kNoDelay, "a delay is never the no-delay byte");
    fuzzCheck((delay & 0x7F) <= kLargestDelayCount, "a delay counts at most 127 units");
    if (!mayBeginANumber(text))
        fuzzCheck(delay == (previous == kNoDelay ? 0 : previous), "a text that is no number keeps the delay");

    const std::string shown = delayToText(delay);
    fuzzCheck(delayToText(textToDelay(shown, static_cast<std::uint8_t>(~delay))) == shown,
              "a delay shown reads back to the same display");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    const ThresholdUnit unit = kUnits[data[0] % std::size(kUnits)];
    const auto previous = static_cast<std::uint16_t>(data[1] | (data[2] << 8));
    const std::string_view text(reinterpret_cast<const char*>(data + 3), size - 3);
    checkThreshold(text, unit, previous);
    checkDelay(text, static_cast<std::uint8_t>(previous));
    return 0;
}
