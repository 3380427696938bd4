// The factory defaults, compiled in at build time from the same
// default_en.tvr that resources/default_en.txt makes, so that a document
// applies onto them without any file at hand.
#pragma once

#include "image/settings_image.h"

namespace telvor {

SettingsImage factoryDefaults();

} // namespace telvor
