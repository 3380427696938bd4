#include "line_format.h"

#include <charconv>
#include <stdexcept>

namespace telvor {

namespace {

void appendNumber(std::string& out, long number, int minimumWidth)
{
    char digits[24];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, number < 0 ? -number : number);
    const int length = static_cast<int>(end - digits);
    if (number < 0)
        out += '-';
    out.append(static_cast<std::size_t>(std::max(0, minimumWidth - length - (number < 0 ? 1 : 0))), '0');
    out.append(digits, end);
}

} // namespace

std::string formatText(std::string_view format, std::span<const FormatValue> values)
{
    std::string out;
    std::size_t next = 0;
    for (std::size_t position = 0; position < format.size(); ++position) {
        if (format[position] != '%' || position + 1 >= format.size()) {
            out += format[position];
            continue;
        }
        ++position;
        int width = 0;
        if (format[position] == '0') {
            while (position < format.size() && format[position] >= '0' && format[position] <= '9')
                width = width * 10 + (format[position++] - '0');
        }
        if (position >= format.size())
            break;
        const FormatValue* value = next < values.size() ? &values[next++] : nullptr;
        if (!value)
            continue;
        if (format[position] == 'd' && std::holds_alternative<long>(*value))
            appendNumber(out, std::get<long>(*value), width);
        else if (format[position] == 's' && std::holds_alternative<std::string>(*value))
            out += std::get<std::string>(*value);
    }
    return out;
}

std::string formatText(std::string_view format, std::initializer_list<FormatValue> values)
{
    return formatText(format, std::span<const FormatValue>(values.begin(), values.size()));
}

Slot slotOf(const LineValue& value, int rowIndex)
{
    const int index = value.kind == LineValue::Kind::FieldAtIndex ? rowIndex
        : value.kind == LineValue::Kind::HourByte                 ? Field::kNotIndexed
                                                                  : value.index;
    const std::optional<Slot> found = findSlot(value.key, index, value.part);
    if (!found)
        throw std::logic_error("no field " + std::string(value.key) + " at index " + std::to_string(index));
    return *found;
}

bool balanceCharacterSent(int character, const SettingsImage& image, const FirmwareVersion& version)
{
    if (!version.atLeast(0x36))
        return false;
    const std::uint8_t seventh = image.u8(slot("URL2", Field::kNotIndexed, 7));
    const bool seventhSent = seventh >= 0x01 && seventh <= 0x7F;
    if (character == 7)
        return seventhSent;
    const std::uint8_t eighth = image.u8(slot("URL2", Field::kNotIndexed, 8));
    return seventhSent && eighth != 0x00 && eighth != 0xFF;
}

std::string balanceCode(const SettingsImage& image, const FirmwareVersion& version)
{
    std::string code = image.text(slot("URL2"));
    for (int character : {7, 8})
        if (balanceCharacterSent(character, image, version))
            code += static_cast<char>(image.u8(slot("URL2", Field::kNotIndexed, character)));
    return code;
}

FormatValue valueOf(const LineValue& value, const SettingsImage& image, const FirmwareVersion& version, int rowIndex)
{
    switch (value.kind) {
    case LineValue::Kind::Index:
        return static_cast<long>(rowIndex);
    case LineValue::Kind::BalanceCode:
        return balanceCode(image, version);
    case LineValue::Kind::HourByte:
        return static_cast<long>(image.bytesOf(slotOf(value, rowIndex))[value.index]);
    case LineValue::Kind::Field:
    case LineValue::Kind::FieldAtIndex:
        break;
    }
    return valueOf(image, slotOf(value, rowIndex));
}

FormatValue valueOf(const SettingsImage& image, const Slot& field)
{
    if (field.encoding == Text)
        return image.text(field);
    return image.number(field);
}

} // namespace telvor
