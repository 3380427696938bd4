#include "field_text.h"

#include <algorithm>

namespace telvor {

std::string textFromField(const SettingsImage& image, const Slot& field)
{
    const auto bytes = image.bytesOf(field);
    const auto end
        = std::find_if(bytes.begin(), bytes.end(), [](std::uint8_t byte) { return byte == 0x00 || byte == 0xFF; });
    return std::string(bytes.begin(), end);
}

void textToField(std::string_view text, SettingsImage& image, const Slot& field)
{
    const auto bytes = image.bytesOf(field);
    const std::size_t length = std::min(text.size(), bytes.size());
    std::fill(std::copy_n(text.begin(), length, bytes.begin()), bytes.end(), 0);
}

std::string hourListFromBits(const SettingsImage& image, const Slot& hours)
{
    const auto bytes = image.bytesOf(hours);
    std::string list;
    for (int hour = 0; hour < 24; ++hour) {
        if (!(bytes[hour / 8] >> (hour % 8) & 1))
            continue;
        if (!list.empty())
            list += ',';
        list += std::to_string(hour);
    }
    return list;
}

void hourListToBits(std::string_view text, SettingsImage& image, const Slot& hours)
{
    const auto bytes = image.bytesOf(hours);
    std::fill(bytes.begin(), bytes.end(), 0);
    // A number of 25 or more is dropped however long it grows, so the
    // accumulator stops growing once it has passed 24.
    int number = 0;
    bool inNumber = false;
    const auto closeNumber = [&] {
        if (inNumber && number <= 24) {
            const int hour = number % 24;
            bytes[hour / 8] |= static_cast<std::uint8_t>(1 << (hour % 8));
        }
        number = 0;
        inNumber = false;
    };
    for (const char character : text) {
        if (character >= '0' && character <= '9') {
            if (number <= 24)
                number = number * 10 + (character - '0');
            inNumber = true;
        } else {
            closeNumber();
        }
    }
    closeNumber();
}

} // namespace telvor
