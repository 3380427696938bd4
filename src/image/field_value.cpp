#include "field_value.h"

namespace telvor {

std::string fieldValueText(const SettingsImage& image, const Slot& element)
{
    switch (element.encoding) {
    case Text:
        return image.text(element);
    case Hours: {
        std::string bytes;
        for (const std::uint8_t byte : image.bytesOf(element))
            bytes += (bytes.empty() ? "" : ",") + std::to_string(byte);
        return bytes;
    }
    case Char: {
        const std::uint8_t byte = image.u8(element);
        return byte == 0x00 || byte == 0xFF ? std::string() : std::string(1, static_cast<char>(byte));
    }
    default:
        return std::to_string(image.number(element));
    }
}

} // namespace telvor
