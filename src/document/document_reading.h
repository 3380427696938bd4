// Reads a document's YAML into the values it gives its settings, with the
// errors of its shape: YAML that does not parse, a missing or unknown
// format, unknown paths, keys given twice.
#pragma once

#include "given_values.h"

#include <string_view>

namespace telvor {

struct DocumentReading {
    std::vector<GivenValue> values;
    std::vector<DocumentError> errors;
};

DocumentReading readDocument(std::string_view text);

} // namespace telvor
