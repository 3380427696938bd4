// Numbers read from the start of an edit box's text, the way the editors
// read thresholds and delays: leading blanks skipped, whatever follows the
// number ignored (so "25.0 'C" reads as 25 and "10 min" as 10).
#pragma once

#include <optional>
#include <string_view>

namespace telvor {

// An optionally signed decimal number with an optional fraction and
// exponent ("-1.5e3", ".5", "7."). A number too large for a float reads as
// infinity and one too small as zero, both with their sign. Empty when the
// text does not begin with a number. Independent of the C locale, which a
// Qt program sets from the user's environment.
std::optional<float> readLeadingFloat(std::string_view text);

// An optionally signed decimal integer ("12ab" reads as 12); values beyond
// 64 bits saturate at its ends, which lie outside every box's range. Empty
// when the text does not begin with one.
std::optional<long long> readLeadingInteger(std::string_view text);

} // namespace telvor
