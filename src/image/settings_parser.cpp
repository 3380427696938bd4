#include "settings_parser.h"

#include "answer_keys.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace telvor {
namespace {

constexpr char kCarriageReturn = '\r';

// Further fixed-position values stand this far from the start of the
// previous one: a two-character field and its comma.
constexpr std::size_t kFixedDistance = 3;

bool isDigit(char character)
{
    return character >= '0' && character <= '9';
}

bool isSpace(char character)
{
    return character == ' ' || (character >= '\t' && character <= '\r');
}

struct Number {
    long value;
    std::size_t end; // the position just after its last digit
};

// A decimal number at `position`: blanks and line breaks first, an optional
// sign, then at least one digit. Digits beyond what a long holds keep only
// the low bits, which are all that any field stores.
std::optional<Number> readNumber(std::string_view text, std::size_t position)
{
    while (position < text.size() && isSpace(text[position]))
        ++position;
    bool negative = false;
    if (position < text.size() && (text[position] == '-' || text[position] == '+')) {
        negative = text[position] == '-';
        ++position;
    }
    if (position >= text.size() || !isDigit(text[position]))
        return std::nullopt;
    std::uint64_t magnitude = 0;
    while (position < text.size() && isDigit(text[position]))
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(text[position++] - '0');
    return Number{static_cast<long>(negative ? 0 - magnitude : magnitude), position};
}

// Copies characters up to a CR, the end of the text or the field's width,
// with a 0x00 after a shorter value. Returns the position of the first
// character not copied.
std::size_t copyText(std::string_view text, std::size_t position, SettingsImage& image, const Slot& field)
{
    const std::size_t width = static_cast<std::size_t>(field.width);
    std::size_t end = position;
    while (end < text.size() && end - position < width && text[end] != kCarriageReturn)
        ++end;
    image.setText(field, text.substr(position, end - position));
    return end;
}

// Numbers separated by commas, each stored as it is read; the list ends at
// the first number that does not parse, leaving the rest of its fields.
void readNumbers(const AnswerKey& key, std::string_view text, std::size_t position, SettingsImage& image)
{
    for (int value = 0; value < key.count; ++value) {
        const std::optional<Number> number = readNumber(text, position);
        if (!number) {
            if (key.kind == ValueKind::NumberOrZero)
                image.setNumber(valueSlot(key, value), 0);
            return;
        }
        image.setNumber(valueSlot(key, value), number->value);
        if (number->end >= text.size() || text[number->end] != ',')
            return;
        position = number->end + 1;
    }
}

// The device prints these values as two-character fields, so the further
// ones are read at a fixed distance. A value of three or more characters
// (a flag byte of 100 or more) pushes the next one on; it is then read just
// after the comma that follows.
void readFixedPositions(const AnswerKey& key, std::string_view text, std::size_t position, SettingsImage& image,
                        int versionNumber)
{
    for (int value = 1; value < key.count; ++value)
        image.setNumber(valueSlot(key, value), 0);
    for (int value = 0; value < key.count && versionNumber >= key.fromVersion[value]; ++value) {
        const std::optional<Number> number = readNumber(text, position);
        if (number)
            image.setNumber(valueSlot(key, value), number->value);
        if (number && number->end - position >= kFixedDistance) {
            if (number->end >= text.size() || text[number->end] != ',')
                return;
            position = number->end + 1;
        } else {
            position += kFixedDistance;
        }
    }
}

// "SMS3=", "APN6=": one digit naming the element, then "=".
std::optional<std::size_t> readNumberedText(const AnswerKey& key, std::string_view text, std::size_t position,
                                            SettingsImage& image)
{
    if (position + 1 >= text.size() || !isDigit(text[position]) || text[position + 1] != '=')
        return std::nullopt;
    const int element = text[position] - '0' - key.firstIndex;
    if (element < 0 || element >= key.count)
        return std::nullopt;
    return copyText(text, position + 2, image, valueSlot(key, element));
}

// "XMS12=": the body's number n (1 to 17), one character after it when n is
// below 10, two otherwise, and there an "=". Anything else stores nothing
// and the scan goes on after the number's place.
std::size_t readExtendedBody(const AnswerKey& key, std::string_view text, std::size_t position, SettingsImage& image)
{
    const std::optional<Number> number = readNumber(text, position);
    const long body = number ? number->value : 0;
    position = std::min(text.size(), position + (body >= 0 && body < 10 ? 1 : 2));
    const long element = body - key.firstIndex;
    if (element < 0 || element >= key.count || position >= text.size() || text[position] != '=')
        return position;
    return copyText(text, position + 1, image, valueSlot(key, static_cast<int>(element)));
}

// Characters 1 to 6 go to the text field; characters 7 and 8 to their own
// bytes, taken only from an unbroken run after a full six, so a CR ending the
// code is never passed over.
std::size_t readBalanceCode(const AnswerKey& key, std::string_view text, std::size_t position, SettingsImage& image)
{
    image.setU8(kBalanceCodeSeventh, 0);
    image.setU8(kBalanceCodeEighth, 0);
    const Slot firstSix = valueSlot(key, 0);
    const std::size_t end = copyText(text, position, image, firstSix);
    if (end - position < static_cast<std::size_t>(firstSix.width))
        return end;
    position = end;
    for (const Slot& character : {kBalanceCodeSeventh, kBalanceCodeEighth}) {
        if (position >= text.size() || text[position] == kCarriageReturn)
            break;
        image.setU8(character, static_cast<std::uint8_t>(text[position++]));
    }
    return position;
}

// Applies `key` when it stands at `position`; returns where the scan goes on.
std::optional<std::size_t> applyKey(const AnswerKey& key, std::string_view text, std::size_t position,
                                    SettingsImage& image, int versionNumber)
{
    if (text[position] != key.text.front() || !text.substr(position).starts_with(key.text))
        return std::nullopt;
    const std::size_t value = position + key.text.size();
    switch (key.kind) {
    case ValueKind::Text:
        return copyText(text, value, image, valueSlot(key, 0));
    case ValueKind::NumberedText:
        return readNumberedText(key, text, value, image);
    case ValueKind::ExtendedBody:
        if (value >= text.size() || !isDigit(text[value]))
            return std::nullopt;
        return readExtendedBody(key, text, value, image);
    case ValueKind::BalanceCode:
        return readBalanceCode(key, text, value, image);
    case ValueKind::Numbers:
    case ValueKind::NumberOrZero:
        readNumbers(key, text, value, image);
        return value;
    case ValueKind::FixedPositions:
        readFixedPositions(key, text, value, image, versionNumber);
        return value;
    }
    return std::nullopt;
}

} // namespace

void parseSettings(std::string_view text, SettingsImage& image, int versionNumber)
{
    text = text.substr(0, text.find('\0'));
    std::size_t position = 0;
    while (position < text.size()) {
        std::optional<std::size_t> next;
        for (const AnswerKey& key : kAnswerKeys)
            if ((next = applyKey(key, text, position, image, versionNumber)))
                break;
        position = next ? *next : position + 1;
    }
}

} // namespace telvor
