#include "settings_fields.h"

#include <charconv>

namespace telvor {

std::string Slot::name() const
{
    std::string name(field->key);
    if (index != Field::kNotIndexed)
        name += std::to_string(index);
    if (field->part != 1)
        name += '.' + std::to_string(field->part);
    return name;
}

std::optional<Slot> slotByName(std::string_view name, int part)
{
    if (auto whole = findSlot(name, Field::kNotIndexed, part))
        return whole;
    std::size_t digits = name.size();
    while (digits > 0 && name[digits - 1] >= '0' && name[digits - 1] <= '9')
        --digits;
    const bool leadingZero = name.size() - digits > 1 && name[digits] == '0';
    if (digits == name.size() || digits == 0 || name.size() - digits > 2 || leadingZero)
        return std::nullopt;
    int index = 0;
    std::from_chars(name.data() + digits, name.data() + name.size(), index);
    return findSlot(name.substr(0, digits), index, part);
}

} // namespace telvor
