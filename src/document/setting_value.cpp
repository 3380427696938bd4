#include "setting_value.h"

#include "windows_1250_text.h"

#include "editors/basic_settings.h"
#include "editors/delay_text.h"
#include "editors/field_text.h"
#include "editors/input_settings.h"
#include "editors/leading_number.h"
#include "editors/refusal_texts.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <variant>

namespace telvor {
namespace {

using Bits = std::uint32_t;
// What a kind reads from a value: the setting's bits, or why it cannot.
using Reading = std::variant<Bits, Refusal>;

Refusal refusal(std::string reason, const Value& value)
{
    return {std::move(reason), value.where};
}

std::string joined(std::span<const Choice> choices)
{
    std::string list;
    for (const Choice& choice : choices)
        list += (list.empty() ? "" : ", ") + std::string(choice.caption);
    return list;
}

bool isDigit(char character)
{
    return character >= '0' && character <= '9';
}

// [-+]digits, nothing else.
bool isInteger(std::string_view text)
{
    if (!text.empty() && (text.front() == '-' || text.front() == '+'))
        text.remove_prefix(1);
    return !text.empty() && std::all_of(text.begin(), text.end(), isDigit);
}

// A decimal number as YAML writes one: [-+] digits [. digits] or . digits,
// then an optional exponent; nothing else.
bool isDecimalNumber(std::string_view text)
{
    std::size_t position = 0;
    const auto digits = [&] {
        const std::size_t start = position;
        while (position < text.size() && isDigit(text[position]))
            ++position;
        return position - start;
    };
    if (position < text.size() && (text[position] == '-' || text[position] == '+'))
        ++position;
    std::size_t mantissa = digits();
    if (position < text.size() && text[position] == '.') {
        ++position;
        mantissa += digits();
    }
    if (mantissa == 0)
        return false;
    if (position < text.size() && (text[position] == 'e' || text[position] == 'E')) {
        ++position;
        if (position < text.size() && (text[position] == '-' || text[position] == '+'))
            ++position;
        if (digits() == 0)
            return false;
    }
    return position == text.size();
}

std::string hexadecimal(Bits bits)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", bits);
    return text;
}

bool isScalar(const Value& value)
{
    return value.form == Value::Form::Plain || value.form == Value::Form::Quoted;
}

// A scratch image holding only the setting's bits, for the editors'
// conversions that work on image fields.
SettingsImage imageWithBits(const Setting& setting, Bits bits)
{
    SettingsImage image;
    setSettingBits(image, setting, bits);
    return image;
}

// --- Numbers -------------------------------------------------------------

int numberShift(const Setting& setting)
{
    return std::countr_zero(setting.fieldMask);
}

long long numberOf(const Setting& setting, Bits bits)
{
    const Bits value = bits >> numberShift(setting);
    if (setting.field.encoding == S16)
        return static_cast<std::int16_t>(value);
    return value;
}

std::optional<Value> numberForm(const Setting& setting, Bits bits)
{
    return Value::plain(std::to_string(numberOf(setting, bits)));
}

Reading readNumber(const Value& value, const Setting& setting)
{
    const SettingRow& row = *setting.row;
    if (value.form != Value::Form::Plain || !isInteger(value.text))
        return refusal(integerMessage(), value);
    const long long number = *readLeadingInteger(value.text);
    if (number < row.minimum || number > row.maximum)
        return refusal(rangeMessage(row.minimum, row.maximum), value);
    const long long stored = row.stored ? row.stored(static_cast<int>(number)) : number;
    return static_cast<Bits>(static_cast<std::uint64_t>(stored) << numberShift(setting)) & setting.fieldMask;
}

// --- Check boxes and choices ---------------------------------------------

std::optional<Value> checkBoxForm(const Setting& setting, Bits bits)
{
    if (bits == setting.row->checked)
        return Value::plain("true");
    if (bits == 0)
        return Value::plain("false");
    return std::nullopt;
}

Reading readCheckBox(const Value& value, const Setting& setting)
{
    if (value.form == Value::Form::Plain && value.text == "true")
        return setting.row->checked;
    if (value.form == Value::Form::Plain && value.text == "false")
        return Bits{0};
    return refusal("Please enter true or false.", value);
}

// The choices of a setting: its row's, or for an input's type the boxes
// that input's row has.
std::vector<Choice> choicesOf(const Setting& setting)
{
    if (setting.kind() != SettingKind::InputType)
        return {setting.row->choices.begin(), setting.row->choices.end()};
    std::vector<Choice> choices{{"none", 0}};
    for (const InputType type : kInputTypes) {
        if (!inputHasTypeBox(setting.number, type))
            continue;
        const InputTypeBits stored = inputTypeBits(type);
        choices.push_back({inputTypeCaption(type), (stored.sensor ? 0x80u : 0u) | Bits{stored.kind} << 8});
    }
    return choices;
}

std::optional<Value> choiceForm(const Setting& setting, Bits bits)
{
    for (const Choice& choice : choicesOf(setting))
        if (choice.bits == bits)
            return Value::plain(std::string(choice.caption));
    return std::nullopt;
}

Reading readChoice(const Value& value, const Setting& setting)
{
    const std::vector<Choice> choices = choicesOf(setting);
    if (isScalar(value))
        for (const Choice& choice : choices)
            if (choice.caption == value.text)
                return choice.bits;
    return refusal("Please enter one of: " + joined(choices) + ".", value);
}

// --- Lists ---------------------------------------------------------------

std::optional<Value> membersForm(const Setting& setting, Bits bits)
{
    std::vector<std::string> captions;
    Bits named = 0;
    for (const Choice& member : setting.row->choices) {
        named |= member.bits;
        if (bits & member.bits)
            captions.emplace_back(member.caption);
    }
    if (bits & ~named)
        return std::nullopt;
    return Value::list(captions);
}

Reading readMembers(const Value& value, const Setting& setting)
{
    const std::string reason = "Please enter a list of: " + joined(setting.row->choices) + ".";
    if (value.form != Value::Form::List)
        return refusal(reason, value);
    Bits bits = 0;
    for (const Value::Item& item : value.items) {
        const auto member = std::find_if(setting.row->choices.begin(), setting.row->choices.end(),
                                         [&item](const Choice& choice) { return choice.caption == item.text; });
        if (member == setting.row->choices.end())
            return Refusal{reason, item.where};
        bits |= member->bits;
    }
    return bits;
}

constexpr int kLastHour = 23;

std::optional<Value> hourListForm(const Setting& setting, Bits bits)
{
    // The fourth byte carries nothing; the editor clears it.
    if (bits >> 24)
        return std::nullopt;
    const std::string hours = hourListFromBits(imageWithBits(setting, bits), setting.field);
    std::vector<std::string> items;
    for (std::size_t start = 0; start < hours.size();) {
        const std::size_t comma = std::min(hours.find(',', start), hours.size());
        items.push_back(hours.substr(start, comma - start));
        start = comma + 1;
    }
    return Value::list(items);
}

Reading readHourList(const Value& value, const Setting& setting)
{
    if (value.form != Value::Form::List)
        return refusal("Please enter a list of hours from 0 to 23, such as [8, 12, 20].", value);
    std::string hours;
    for (const Value::Item& item : value.items) {
        if (!item.plain || !isInteger(item.text))
            return Refusal{integerMessage(), item.where};
        const long long hour = *readLeadingInteger(item.text);
        if (hour < 0 || hour > kLastHour)
            return Refusal{rangeMessage(0, kLastHour), item.where};
        hours += std::to_string(hour) + ",";
    }
    SettingsImage scratch;
    hourListToBits(hours, scratch, setting.field);
    return settingBits(scratch, setting);
}

// --- Delays --------------------------------------------------------------

std::string withoutTrailingBlank(std::string text)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

std::optional<Value> delayForm(Bits bits)
{
    return Value::quoted(withoutTrailingBlank(delayToText(static_cast<std::uint8_t>(bits))));
}

Reading readDelay(const Value& value)
{
    const std::optional<long long> count = isScalar(value) ? readLeadingInteger(value.text) : std::nullopt;
    if (!count)
        return refusal("Please enter a delay in seconds, minutes or hours, such as \"30s\", \"5m\" or \"2h\".", value);
    const int largest = largestDelayCount(delayUnitOf(value.text));
    if (*count < 0 || *count > largest)
        return refusal(rangeMessage(0, largest), value);
    return Bits{textToDelay(value.text, 0)};
}

// --- Thresholds ----------------------------------------------------------

ThresholdUnit thresholdUnit(const Setting& setting, const SettingsImage& image)
{
    if (setting.kind() == SettingKind::LineThreshold)
        return extendedLineThresholdUnit(image.u8(*setting.unit));
    return inputThresholdUnit(
        inputUnitCode(image.u8(slot("ICFG", setting.number)), image.u8(slot("SCFG", setting.number))));
}

// The editor's text without its unit: "25.0 'C" is 25.0, "50 %" is 50.
std::string thresholdNumber(std::uint16_t raw, ThresholdUnit unit)
{
    const std::string shown = thresholdToText(raw, unit);
    return shown.substr(0, shown.find(' '));
}

std::optional<Value> thresholdForm(Bits bits, ThresholdUnit unit)
{
    return Value::plain(thresholdNumber(static_cast<std::uint16_t>(bits), unit));
}

Reading readThreshold(const Value& value, ThresholdUnit unit)
{
    if (value.form != Value::Form::Plain || !isDecimalNumber(value.text))
        return refusal("Please enter a number.", value);
    const auto [lowest, highest] = thresholdRange(unit);
    const float number = *readLeadingFloat(value.text);
    if (!(number >= *readLeadingFloat(lowest) && number <= *readLeadingFloat(highest)))
        return refusal("Please enter a number between " + lowest + " and " + highest + ".", value);
    return Bits{textToThreshold(value.text, unit, 0)};
}

// --- Texts ---------------------------------------------------------------

// The bytes of a text value, or why it cannot be stored in `limit` bytes.
std::variant<std::string, Refusal> textBytes(const Value& value, std::size_t limit)
{
    if (value.form == Value::Form::Null)
        return std::string();
    if (!isScalar(value))
        return refusal("Please enter a text.", value);
    Windows1250Refusal refused;
    const std::optional<std::string> bytes = windows1250FromUtf8(value.text, &refused);
    if (!bytes) {
        if (refused.character.empty())
            return refusal("the text is not UTF-8", value);
        return refusal("Windows-1250 cannot store the character \"" + refused.character + "\"", value);
    }
    if (bytes->find('\0') != std::string::npos)
        return refusal("a text cannot hold the character \"\\x00\", which ends it", value);
    if (bytes->find('\xFF') != std::string::npos)
        return refusal("a text cannot hold the character \"" + utf8FromWindows1250("\xFF") + "\", which ends it",
                       value);
    if (bytes->size() > limit)
        return refusal(lengthMessage(static_cast<long long>(limit)), value);
    return *bytes;
}

std::string shownText(const SettingsImage& image, const Setting& setting)
{
    return setting.kind() == SettingKind::Text ? textFromField(image, setting.field) : balanceCheckCodeOf(image);
}

std::optional<Refusal> applyText(const Value& value, const Setting& setting, SettingsImage& image)
{
    const bool balanceCode = setting.kind() == SettingKind::BalanceCheckCode;
    const std::size_t limit = balanceCode ? kBalanceCheckCodeLength : static_cast<std::size_t>(setting.field.width);
    auto bytes = textBytes(value, limit);
    if (const Refusal* refused = std::get_if<Refusal>(&bytes))
        return *refused;
    const std::string& text = std::get<std::string>(bytes);
    // An equal text leaves the field, and whatever follows its end, alone.
    if (text == shownText(image, setting))
        return std::nullopt;
    if (balanceCode)
        storeBalanceCheckCode(text, image);
    else
        textToField(text, image, setting.field);
    return std::nullopt;
}

// --- Every kind ----------------------------------------------------------

std::optional<Value> formOf(const Setting& setting, Bits bits, const SettingsImage& image)
{
    switch (setting.kind()) {
    case SettingKind::Number:
        return numberForm(setting, bits);
    case SettingKind::CheckBox:
        return checkBoxForm(setting, bits);
    case SettingKind::Choice:
    case SettingKind::InputType:
        return choiceForm(setting, bits);
    case SettingKind::Members:
        return membersForm(setting, bits);
    case SettingKind::HourList:
        return hourListForm(setting, bits);
    case SettingKind::Delay:
        return delayForm(bits);
    case SettingKind::InputThreshold:
    case SettingKind::LineThreshold:
        return thresholdForm(bits, thresholdUnit(setting, image));
    case SettingKind::Text:
    case SettingKind::BalanceCheckCode:
        break;
    }
    return std::nullopt;
}

Reading readForm(const Value& value, const Setting& setting, const SettingsImage& image)
{
    switch (setting.kind()) {
    case SettingKind::Number:
        return readNumber(value, setting);
    case SettingKind::CheckBox:
        return readCheckBox(value, setting);
    case SettingKind::Choice:
    case SettingKind::InputType:
        return readChoice(value, setting);
    case SettingKind::Members:
        return readMembers(value, setting);
    case SettingKind::HourList:
        return readHourList(value, setting);
    case SettingKind::Delay:
        return readDelay(value);
    case SettingKind::InputThreshold:
    case SettingKind::LineThreshold:
        return readThreshold(value, thresholdUnit(setting, image));
    case SettingKind::Text:
    case SettingKind::BalanceCheckCode:
        break;
    }
    return refusal("Please enter a text.", value);
}

Reading readRaw(const Value& value, const Setting& setting)
{
    const Bits mask = setting.mask();
    if ((value.raw & ~std::uint64_t{mask}) == 0)
        return static_cast<Bits>(value.raw);
    // A mask from bit 0 up reads as a range; any other names its bits.
    if (std::has_single_bit(std::uint64_t{mask} + 1))
        return refusal(rangeMessage(0, mask), value);
    return refusal("a raw value here holds only the bits " + hexadecimal(mask), value);
}

} // namespace

std::pair<std::string, std::string> thresholdRange(ThresholdUnit unit)
{
    return {thresholdNumber(0, unit), thresholdNumber(0xFFFF, unit)};
}

Value shownValue(const SettingsImage& image, const Setting& setting)
{
    if (holdsText(setting.kind()))
        return Value::quoted(utf8FromWindows1250(shownText(image, setting)));
    const Bits bits = settingBits(image, setting);
    // The form is kept only where reading it back gives the very same bits.
    if (std::optional<Value> form = formOf(setting, bits, image)) {
        const Reading back = readForm(*form, setting, image);
        if (const Bits* same = std::get_if<Bits>(&back); same && *same == bits)
            return *form;
    }
    return Value::rawBits(bits);
}

std::optional<Refusal> applyValue(const Value& value, const Setting& setting, SettingsImage& image)
{
    if (holdsText(setting.kind()))
        return applyText(value, setting, image);
    const Reading reading = value.form == Value::Form::Raw ? readRaw(value, setting) : readForm(value, setting, image);
    if (const Refusal* refused = std::get_if<Refusal>(&reading))
        return *refused;
    setSettingBits(image, setting, std::get<Bits>(reading));
    return std::nullopt;
}

} // namespace telvor
