// The device's firmware version as its answer to "VER?" tells it. It decides
// which groups of settings are written, read and verified, and which keys
// the virtual device has: one reading of a version text for both sides, so
// that they always agree on what a text such as "v2.8E" means.
#pragma once

#include <string_view>

namespace telvor {

struct FirmwareVersion {
    int versionNumber = 0; // 16 x major + minor: 0x28 for 2.8; 0 when none was found
    int extended = 0;      // 1 with the letter E: the e-mail groups exist
    char modelLetter = 0;  // the last capital letter other than E and L, or 0

    bool atLeast(int number) const { return versionNumber >= number; }
};

// Reads the version marker ('v' or 'V' among the first 17 characters), the
// major and minor digit at one and three characters after it, and the letters
// among the four characters after the minor digit.
FirmwareVersion decodeVersion(std::string_view reply);

} // namespace telvor
