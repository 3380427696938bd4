// Values that a document or set arguments give, applied together.
#pragma once

#include "document_value.h"
#include "setting_table.h"
#include "settings_document.h"

#include <vector>

namespace telvor {

struct GivenValue {
    const Setting* setting;
    Value value;
};

// Applies the values in the order of the settings table, whatever their
// order in the document, so that an input's type comes before its
// thresholds. All or nothing: with any refusal the image stays as it was
// and every refusal is returned.
std::vector<DocumentError> applyGivenValues(std::vector<GivenValue> values, SettingsImage& image);

} // namespace telvor
