#include "integer_text.h"

namespace telvor {

std::optional<int> integerFromText(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

} // namespace telvor
