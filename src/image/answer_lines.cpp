#include "answer_lines.h"

#include "answer_keys.h"

#include <cstdio>

namespace telvor {
namespace {

// Versions that keep characters 7 and 8 of the balance check code.
constexpr int kEightCharacterBalanceCode = 0x36;

bool isBalanceCodeCharacter(std::uint8_t byte)
{
    return byte != 0x00 && byte != 0xFF;
}

std::string numberList(const AnswerKey& key, const SettingsImage& image)
{
    std::string list;
    for (int value = 0; value < key.count; ++value) {
        if (value > 0)
            list += ',';
        list += std::to_string(image.number(valueSlot(key, value)));
    }
    return list;
}

// Every value as a two-character field, as the parser expects them at fixed
// distances; a value of 100 or more takes three.
std::string fixedPositionList(const AnswerKey& key, const SettingsImage& image, int versionNumber)
{
    std::string list;
    for (int value = 0; value < key.count && versionNumber >= key.fromVersion[value]; ++value) {
        char field[8];
        std::snprintf(field, sizeof field, "%02ld", image.number(valueSlot(key, value)));
        if (value > 0)
            list += ',';
        list += field;
    }
    return list;
}

// Characters 7 and 8 continue the code only after a full six: a shorter code
// ends the text, and whatever followed it would be read as its next character.
std::string balanceCode(const AnswerKey& key, const SettingsImage& image, int versionNumber)
{
    const Slot firstSix = valueSlot(key, 0);
    std::string code = image.text(firstSix);
    if (versionNumber < kEightCharacterBalanceCode || static_cast<int>(code.size()) < firstSix.width)
        return code;
    for (const Slot& character : {kBalanceCodeSeventh, kBalanceCodeEighth}) {
        const std::uint8_t byte = image.u8(character);
        if (!isBalanceCodeCharacter(byte))
            break;
        code += static_cast<char>(byte);
    }
    return code;
}

} // namespace

std::vector<std::string> answerLines(std::string_view name, const SettingsImage& image, int versionNumber)
{
    const std::optional<AnswerKey> key = findAnswerKey(name);
    if (!key)
        return {};
    const std::string prefix(key->text);
    switch (key->kind) {
    case ValueKind::Text:
        return {prefix + image.text(valueSlot(*key, 0))};
    case ValueKind::NumberedText:
    case ValueKind::ExtendedBody: {
        std::vector<std::string> lines;
        for (int element = 0; element < key->count; ++element)
            lines.push_back(prefix + std::to_string(key->firstIndex + element) + '='
                            + image.text(valueSlot(*key, element)));
        return lines;
    }
    case ValueKind::BalanceCode:
        return {prefix + balanceCode(*key, image, versionNumber)};
    case ValueKind::Numbers:
    case ValueKind::NumberOrZero:
        return {prefix + numberList(*key, image)};
    case ValueKind::FixedPositions:
        return {prefix + fixedPositionList(*key, image, versionNumber)};
    }
    return {};
}

} // namespace telvor
