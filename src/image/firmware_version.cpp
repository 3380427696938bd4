#include "firmware_version.h"

#include <algorithm>

namespace telvor {

namespace {

constexpr std::size_t kMarkerSearchLength = 16;
constexpr std::size_t kLetterCount = 4;

bool isMarker(char character)
{
    return character == 'v' || character == 'V';
}

} // namespace

FirmwareVersion decodeVersion(std::string_view reply)
{
    FirmwareVersion version;
    std::size_t marker = 0;
    while (marker < kMarkerSearchLength && marker < reply.size() && !isMarker(reply[marker]))
        ++marker;
    if (marker >= reply.size() || !isMarker(reply[marker]))
        return version;
    // A reply that ends before the minor digit carries no version at all;
    // reading on would take bytes that the device never sent.
    const std::size_t minor = marker + 3;
    if (minor >= reply.size())
        return version;
    version.versionNumber = 16 * (reply[marker + 1] - '0') + (reply[minor] - '0');
    const std::size_t lettersEnd = std::min(reply.size(), minor + 1 + kLetterCount);
    for (std::size_t position = minor + 1; position < lettersEnd; ++position) {
        const char letter = reply[position];
        if (letter == 'E')
            version.extended = 1;
        else if (letter != 'L' && letter >= 'A' && letter <= 'Z')
            version.modelLetter = letter;
    }
    return version;
}

} // namespace telvor
