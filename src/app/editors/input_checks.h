// The messages that refuse a box when OK is pressed.
#pragma once

#include <QString>

namespace telvor {

QString integerMessage();
QString rangeMessage(int minimum, int maximum);
QString lengthMessage(int limit);
QString characterMessage(const QString& boxName, const QString& character);

} // namespace telvor
