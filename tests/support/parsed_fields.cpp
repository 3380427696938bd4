#include "support/parsed_fields.h"

#include <stdexcept>

namespace telvor {

Slot namedSlot(std::string_view name)
{
    int part = 1;
    if (const std::size_t dot = name.find('.'); dot != std::string_view::npos) {
        part = name[dot + 1] - '0';
        name = name.substr(0, dot);
    }
    const std::optional<Slot> found = slotByName(name, part);
    if (!found)
        throw std::invalid_argument("no field " + std::string(name));
    return *found;
}

std::vector<Slot> parsedSlots()
{
    std::vector<Slot> slots;
    for (const AnswerKey& key : kAnswerKeys) {
        for (int value = 0; value < key.count; ++value)
            slots.push_back(valueSlot(key, value));
        if (key.kind == ValueKind::BalanceCode) {
            slots.push_back(kBalanceCodeSeventh);
            slots.push_back(kBalanceCodeEighth);
        }
    }
    return slots;
}

SettingsImage randomParsableImage(std::mt19937& random)
{
    SettingsImage image;
    std::uniform_int_distribution<int> byte(0, 255);
    for (std::uint8_t& value : image.bytes())
        value = static_cast<std::uint8_t>(byte(random));
    std::uniform_int_distribution<int> printable(0x20, 0x7E);
    for (const Slot& element : parsedSlots()) {
        if (element.encoding != Text)
            continue;
        std::string text(std::uniform_int_distribution<int>(0, element.width)(random), ' ');
        for (char& character : text)
            character = static_cast<char>(printable(random));
        image.setText(element, text);
    }
    // Characters 7 and 8 are printable or none (0x00, 0xFF); they follow a
    // full six, and 8 only a 7.
    for (const Slot& character : {kBalanceCodeSeventh, kBalanceCodeEighth}) {
        const int choice = std::uniform_int_distribution<int>(0, 3)(random);
        image.setU8(character, static_cast<std::uint8_t>(choice == 0 ? 0x00 : choice == 1 ? 0xFF : printable(random)));
    }
    const auto none
        = [&image](const Slot& character) { return image.u8(character) == 0x00 || image.u8(character) == 0xFF; };
    if (image.text(slot("URL2")).size() < 6 || none(kBalanceCodeSeventh))
        image.setU8(kBalanceCodeSeventh, 0);
    if (none(kBalanceCodeSeventh) || none(kBalanceCodeEighth))
        image.setU8(kBalanceCodeEighth, 0);
    return image;
}

} // namespace telvor
