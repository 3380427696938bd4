// Numbers typed into edit boxes, read the way the dialogs' data exchange
// reads them.
#pragma once

#include <QString>

#include <optional>

namespace telvor {

// The whole text as a decimal int, with an optional sign and blanks around
// it; empty for anything else, an int overflow included.
std::optional<int> integerFromText(const QString& text);

} // namespace telvor
