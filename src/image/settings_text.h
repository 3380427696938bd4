// Settings kept as readable KEY=value lines in the device's own answer
// vocabulary (the factory defaults in resources/default_en.txt): each line
// one key as the device answers it, lines starting with # are comments.
#pragma once

#include "settings_image.h"

#include <string>
#include <string_view>

namespace telvor {

struct SettingsTextResult {
    bool ok = false;
    std::string error; // names the line that is not a key line
};

// Parses the lines into the image as a device answer of version 3.6 would be
// parsed. Lines end with LF or CR LF. A line that sets no field is refused,
// so that a misspelt key cannot pass unnoticed.
SettingsTextResult settingsFromText(std::string_view text, SettingsImage& image);

} // namespace telvor
