// Building the lines sent to the device and the texts shown about them from
// printf-like formats: "%d" and "%0Nd" take a number, "%s" a text.
#pragma once

#include "image/firmware_version.h"
#include "image/settings_image.h"

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace telvor {

using FormatValue = std::variant<long, std::string>;

// A value of the wrong kind for its conversion, or a missing one, prints
// nothing; the tables of this library never hold such a pair.
std::string formatText(std::string_view format, std::span<const FormatValue> values);
std::string formatText(std::string_view format, std::initializer_list<FormatValue> values);

// One value of a line: the row's index n, a field of the image (by key, with
// a fixed index or the row's index), one byte of an hour set, or the
// account balance check code.
struct LineValue {
    enum class Kind { Index, Field, FieldAtIndex, HourByte, BalanceCode };

    Kind kind = Kind::Index;
    std::string_view key;
    int index = Field::kNotIndexed; // fixed index, or the byte of an hour set
    int part = 1;

    static constexpr LineValue rowIndex() { return {Kind::Index, {}, Field::kNotIndexed, 1}; }
    static constexpr LineValue field(std::string_view key, int index = Field::kNotIndexed)
    {
        return {Kind::Field, key, index, 1};
    }
    static constexpr LineValue fieldPart(std::string_view key, int part)
    {
        return {Kind::Field, key, Field::kNotIndexed, part};
    }
    static constexpr LineValue atRowIndex(std::string_view key)
    {
        return {Kind::FieldAtIndex, key, Field::kNotIndexed, 1};
    }
    static constexpr LineValue hourByte(std::string_view key, int byte) { return {Kind::HourByte, key, byte, 1}; }
    static constexpr LineValue balanceCode() { return {Kind::BalanceCode, "URL2", Field::kNotIndexed, 1}; }
};

// The element of the image that a field value names, at row index n.
Slot slotOf(const LineValue& value, int rowIndex);

// A field's value as it goes on a line: a number by its encoding, a text up
// to its first 0x00 or its width.
FormatValue valueOf(const SettingsImage& image, const Slot& field);

// The value as it goes on the line: a number field by its encoding, a text
// up to its first 0x00 or its width.
FormatValue valueOf(const LineValue& value, const SettingsImage& image, const FirmwareVersion& version, int rowIndex);

// The account balance check code as it is written: URL2's six characters,
// and from version 3.6 on character 7 when it is 0x01 to 0x7F, followed by
// character 8 unless that is 0x00 or 0xFF (the editor's "no character").
std::string balanceCode(const SettingsImage& image, const FirmwareVersion& version);
bool balanceCharacterSent(int character, const SettingsImage& image, const FirmwareVersion& version);

} // namespace telvor
