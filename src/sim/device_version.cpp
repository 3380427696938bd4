#include "device_version.h"

namespace telvor {

namespace {

constexpr std::size_t kMarkerSearchLength = 16;
constexpr std::size_t kLetterCount = 4;

bool isMarker(char character) { return character == 'v' || character == 'V'; }

} // namespace

DeviceVersion decodeDeviceVersion(std::string_view text)
{
    DeviceVersion version;
    std::size_t marker = 0;
    while (marker < kMarkerSearchLength && marker < text.size() && !isMarker(text[marker]))
        ++marker;
    if (marker >= text.size() || !isMarker(text[marker]))
        return version;
    // Beyond the end the text reads as zero bytes, as it does in the reply
    // buffer the program decodes.
    const auto at = [&](std::size_t position) { return position < text.size() ? text[position] : '\0'; };
    version.number = 16 * (at(marker + 1) - '0') + (at(marker + 3) - '0');
    for (std::size_t position = marker + 4; position < marker + 4 + kLetterCount && position < text.size();
         ++position) {
        const char letter = text[position];
        if (letter == 'E')
            version.extended = true;
        else if (letter != 'L' && letter >= 'A' && letter <= 'Z')
            version.modelLetter = letter;
    }
    return version;
}

} // namespace telvor
