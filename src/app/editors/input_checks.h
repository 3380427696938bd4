// The checks an editor applies to its boxes when OK is pressed, and the
// messages that refuse a box.
#pragma once

#include <QString>


namespace telvor {

QString IntegerMessage();
QString RangeMessage(int minimum, int maximum);
QString LengthMessage(int limit);
QString CharacterMessage(const QString& boxName, const QString& character);

} // namespace telvor
