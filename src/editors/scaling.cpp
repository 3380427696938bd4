#include "scaling.h"

namespace telvor {

void Scaling::unpack(const SettingsImage& image)
{
    for (int input = 1; input <= static_cast<int>(gain.size()); ++input) {
        gain[input - 1] = image.s16(slot("SCLA", input));
        offset[input - 1] = image.s16(slot("SCLB", input));
    }
}

void Scaling::pack(SettingsImage& image) const
{
    for (int input = 1; input <= static_cast<int>(gain.size()); ++input) {
        image.setS16(slot("SCLA", input), static_cast<std::int16_t>(gain[input - 1]));
        image.setS16(slot("SCLB", input), static_cast<std::int16_t>(offset[input - 1]));
    }
}

} // namespace telvor
