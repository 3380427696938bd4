// The factors of the linear scaling y = A·x/1000 + B that the device applies
// to each of the inputs L1 to L8 when it is set to the scaled type.
#pragma once

#include "image/settings_image.h"

#include <array>

namespace telvor {

struct ScalingEditor {
    static constexpr int kInputs = 8;
    // -32768 fits the field but is not offered: a stored -32768 opens as it
    // is and must be changed before OK passes.
    static constexpr int kMinFactor = -32767;
    static constexpr int kMaxFactor = 32767;

    // A in thousandths (1000 is a gain of 1), B in the input's units.
    std::array<int, kInputs> gain{};
    std::array<int, kInputs> offset{};

    void unpack(const SettingsImage& image);
    void pack(SettingsImage& image) const;
};

} // namespace telvor
