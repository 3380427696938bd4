// One field element's value as a line of text: how diff lists a change.
#pragma once

#include "settings_image.h"

#include <string>

namespace telvor {

// Texts up to the first 0x00 or the width; numbers in decimal as their
// encoding reads them; an hour set as its four bytes "b0,b1,b2,b3"; a single
// character as itself, or nothing for 0x00 and 0xFF (no character).
std::string fieldValueText(const SettingsImage& image, const Slot& element);

} // namespace telvor
