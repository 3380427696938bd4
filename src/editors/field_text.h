// Conversions between image fields and the texts the editors show.
#pragma once

#include "image/settings_image.h"

#include <string>
#include <string_view>

namespace telvor {

// The field's bytes up to the first 0x00 or 0xFF, at most its width.
std::string textFromField(const SettingsImage& image, const Slot& field);

// The first `width` characters of the text, then 0x00 up to the field's end.
void textToField(std::string_view text, SettingsImage& image, const Slot& field);

// The hours of a 4-byte hour set as "0,7,20": ascending, comma-separated.
std::string hourListFromBits(const SettingsImage& image, const Slot& hours);

// Reads every run of digits as an hour: 24 counts as 0, 25 and more are
// dropped, anything else separates numbers. Byte 3 of the set becomes 0.
void hourListToBits(std::string_view text, SettingsImage& image, const Slot& hours);

} // namespace telvor
