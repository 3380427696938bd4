#include "input_checks.h"

namespace telvor {

QString integerMessage()
{
    return QStringLiteral("Please enter an integer.");
}

QString rangeMessage(int minimum, int maximum)
{
    return QStringLiteral("Please enter an integer between %1 and %2.").arg(minimum).arg(maximum);
}

QString lengthMessage(int limit)
{
    return QStringLiteral("Please enter no more than %1 characters.").arg(limit);
}

QString characterMessage(const QString& boxName, const QString& character)
{
    return QStringLiteral("The box \"%1\" holds the character \"%2\", which the device "
                          "cannot store. Please replace or remove it.")
        .arg(boxName, character);
}

} // namespace telvor
