// The delayed alarm time of an input as the inputs editor shows it. The
// device keeps it in one byte: bit 7 the unit (1 minutes, 0 seconds), bits
// 0 to 6 the count.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace telvor {

// The unit a typed delay is read in: minutes when an 'm', 'M' or
// apostrophe comes before any hour letter, hours ('h', 'H', 'g', 'G';
// stored as minutes) when one comes first, otherwise seconds.
enum class DelayUnit { Seconds, Minutes, Hours };
DelayUnit delayUnitOf(std::string_view text);

// The largest count that is stored as typed in this unit: 127 seconds,
// 126 minutes (127 minutes would be 0xFF) and 2 hours.
int largestDelayCount(DelayUnit unit);

// "30s", "5m"; no delay (0, and 0xFF, which the device never holds as a
// delay) shows as "0 ".
std::string delayToText(std::uint8_t delay);

// The text's leading integer in the unit delayUnitOf reads; clamped to 0
// to 127 units, and never 0xFF (127 minutes are stored as 126). A text that does
// not begin with a number leaves the delay at `previous`, read as 0 if it
// is 0xFF.
std::uint8_t textToDelay(std::string_view text, std::uint8_t previous);

} // namespace telvor
