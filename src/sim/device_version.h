// The virtual device's own reading of its version text. The device decides
// which keys it has from the same letters and digits that the configuration
// program reads out of the reply to "VER?", so both sides agree on what a
// version text such as "v2.8E" or "v3.6" means.
#pragma once

#include <string_view>

namespace telvor {

struct DeviceVersion {
    int number = 0;          // 16 * major + minor; 0 when the text has no version
    bool extended = false;   // the letter E after the digits
    char modelLetter = 0;    // last capital letter other than E and L, or 0
};

// The marker 'v' or 'V' is looked for among the first 17 characters; the
// digits stand one and three characters after it, and up to four characters
// after the minor digit carry the letters.
DeviceVersion decodeDeviceVersion(std::string_view text);

} // namespace telvor
