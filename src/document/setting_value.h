// The values of settings: what an export writes for each, and how a
// document's value is read and stored, with the editors' own conversions
// and limits.
#pragma once

#include "document_value.h"
#include "setting_table.h"

#include "editors/threshold_text.h"

#include <optional>
#include <utility>

namespace telvor {

// The value as the editor shows it; {raw: N} where that form cannot carry
// the stored bits exactly (a combination no editor makes, a threshold that
// the unit's rounding would change, a byte no choice names).
Value shownValue(const SettingsImage& image, const Setting& setting);

// Reads the value as the setting's kind says and stores it: only the
// setting's own bits change, and a text's field only when the text differs
// from the one shown. A threshold is read in the unit of the input's type
// as the image holds it at that moment. A refusal leaves the image as it was.
std::optional<Refusal> applyValue(const Value& value, const Setting& setting, SettingsImage& image);

// The lowest and highest threshold a unit takes, as it shows the raw values
// 0 and 65535 ("-273.2" and "6280.3" in degrees, "0" and "100" in percent).
std::pair<std::string, std::string> thresholdRange(ThresholdUnit unit);

} // namespace telvor
