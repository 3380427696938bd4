// Turns a device's KEY=value answer into fields of a settings image.
#pragma once

#include "settings_image.h"

#include <string_view>

namespace telvor {

// Scans `text` up to its end or its first 0x00, trying every key of the
// answer vocabulary (answer_keys.h) at each position, and stores the values
// of the keys it finds. Fields whose keys do not occur keep their values.
// `versionNumber` (16 * major + minor) decides how many values RCFG=, CLIP=
// and CTRL= carry. Nothing is read beyond the end of `text`.
void parseSettings(std::string_view text, SettingsImage& image, int versionNumber);

} // namespace telvor
