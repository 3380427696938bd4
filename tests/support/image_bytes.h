// Reading and writing image fields in tests by their device keys.
#pragma once

#include "image/settings_image.h"

#include <algorithm>
#include <string>
#include <vector>

namespace telvor {

inline std::string bytesAt(const SettingsImage& image, const Slot& field)
{
    const auto bytes = image.bytesOf(field);
    return std::string(bytes.begin(), bytes.end());
}

inline void putBytes(SettingsImage& image, const Slot& field, const std::string& bytes)
{
    const auto target = image.bytesOf(field);
    std::copy_n(bytes.begin(), std::min(bytes.size(), target.size()), target.begin());
}

// Offsets at which the two images differ.
inline std::vector<int> changedOffsets(const SettingsImage& before, const SettingsImage& after)
{
    std::vector<int> offsets;
    for (std::size_t offset = 0; offset < kImageSize; ++offset) {
        if (before.bytes()[offset] != after.bytes()[offset])
            offsets.push_back(static_cast<int>(offset));
    }
    return offsets;
}

// An image whose every byte differs from its neighbours, so that a field
// written at the wrong place or with the wrong width shows.
inline SettingsImage patternedImage()
{
    SettingsImage image;
    for (std::size_t offset = 0; offset < kImageSize; ++offset)
        image.bytes()[offset] = static_cast<std::uint8_t>(0x21 + offset % 90);
    return image;
}

} // namespace telvor
