#include "scaling_editor.h"

namespace telvor {

void ScalingEditor::unpack(const SettingsImage& image)
{
    for (int input = 1; input <= kInputs; ++input) {
        gain[input - 1] = image.s16(slot("SCLA", input));
        offset[input - 1] = image.s16(slot("SCLB", input));
    }
}

void ScalingEditor::pack(SettingsImage& image) const
{
    for (int input = 1; input <= kInputs; ++input) {
        image.setS16(slot("SCLA", input), static_cast<std::int16_t>(gain[input - 1]));
        image.setS16(slot("SCLB", input), static_cast<std::int16_t>(offset[input - 1]));
    }
}

} // namespace telvor
