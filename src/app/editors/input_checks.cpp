#include "input_checks.h"

namespace telvor {

QString characterMessage(const QString& boxName, const QString& character)
{
    return QStringLiteral("The box \"%1\" holds the character \"%2\", which the device "
                          "cannot store. Please replace or remove it.")
        .arg(boxName, character);
}

} // namespace telvor
