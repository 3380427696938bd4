// The name an image is stored under: its SHA-256.
#pragma once

#include "image/settings_image.h"

#include <string>

namespace telvor {

// 64 lowercase hexadecimal digits.
std::string imageDigest(const SettingsImage& image);

} // namespace telvor
