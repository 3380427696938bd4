// The scaling editor's values: the factors of y = A·x/1000 + B that the
// device applies to each of the inputs L1 to L8 when it is set to the scaled
// type.
#pragma once

#include "image/settings_image.h"

#include <array>

namespace telvor {

// -32768 fits the field but is not offered: a stored -32768 opens as it is
// and must be changed before OK passes.
inline constexpr int kMinScalingFactor = -32767;
inline constexpr int kMaxScalingFactor = 32767;

struct Scaling {
    std::array<int, 8> gain{};   // A of L1 to L8, in thousandths
    std::array<int, 8> offset{}; // B of L1 to L8

    void unpack(const SettingsImage& image);
    void pack(SettingsImage& image) const;
};

} // namespace telvor
