// A settings file named on the command line, read as "Read from file" reads.
#pragma once

#include "image/settings_image.h"

#include <string>

namespace telvor {

// False after a file that cannot be opened or read; the message naming the
// file and the reason is then printed.
bool readSettingsOperand(const std::string& path, SettingsImage& image);

// Writes the image to a file named on the command line, as a settings file;
// a name ending in .yaml, which names a settings document, is refused until
// documents can be written. False, with the message printed, when nothing
// was written.
bool writeSettingsOperand(const std::string& path, const SettingsImage& image);

} // namespace telvor
