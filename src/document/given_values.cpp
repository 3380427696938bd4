#include "given_values.h"

#include "setting_value.h"

#include <algorithm>

namespace telvor {

std::vector<DocumentError> applyGivenValues(std::vector<GivenValue> values, SettingsImage& image)
{
    std::stable_sort(values.begin(), values.end(),
                     [](const GivenValue& a, const GivenValue& b) { return a.setting < b.setting; });
    SettingsImage changed = image;
    std::vector<DocumentError> errors;
    for (const GivenValue& given : values)
        if (const std::optional<Refusal> refusal = applyValue(given.value, *given.setting, changed))
            errors.push_back({refusal->where, given.setting->path, refusal->reason});
    if (errors.empty())
        image = changed;
    return errors;
}

} // namespace telvor
