// A settings file named on the command line, read as "Read from file" reads.
#pragma once

#include "image/settings_image.h"

#include <string>

namespace telvor {

// False after a file that cannot be opened or read; the message naming the
// file and the reason is then printed.
bool readSettingsOperand(const std::string& path, SettingsImage& image);

} // namespace telvor
