// The messages that refuse a box when OK is pressed.
#pragma once

#include <QString>

namespace telvor {

QString IntegerMessage();
QString RangeMessage(int minimum, int maximum);
QString LengthMessage(int limit);
QString CharacterMessage(const QString& boxName, const QString& character);

} // namespace telvor
