// The checks an editor applies to its boxes when OK is pressed, and the
// messages that refuse a box.
#pragma once

#include <QString>

#include <optional>

namespace telvor {

// The optionally signed decimal integer at the start of the text, after
// blanks; whatever follows it is ignored ("12ab" reads as 12). Nothing
// when the text does not start with one. A number too long for 64 bits
// reads as the nearest 64-bit value, which lies outside every box's range.
std::optional<long long> LeadingInteger(const QString& text);

QString IntegerMessage();
QString RangeMessage(int minimum, int maximum);
QString LengthMessage(int limit);
QString CharacterMessage(const QString& boxName, const QString& character);

} // namespace telvor
