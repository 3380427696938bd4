#include "input_settings.h"

#include "delay_text.h"
#include "threshold_text.h"

namespace telvor {
namespace {

constexpr std::uint8_t kSensorBit = 0x80; // ICFGn: the input has a sensor
constexpr std::uint8_t kKindMask = 0x07;  // SCFGn: which sensor

// Each type box stands for a sensor bit and a kind code of the input, and
// gives the thresholds their unit.
struct TypeBox {
    InputType type;
    std::string_view caption;
    bool sensorBit;
    std::uint8_t kind;
    int unitCode;
};

constexpr std::array<TypeBox, kInputTypeCount> kTypeBoxes = {{
    {InputType::T, "T", true, 0, 2},
    {InputType::D, "D", true, 2, 2},
    {InputType::RH, "RH", true, 1, 1},
    {InputType::S, "S", false, 3, 3},
    {InputType::TR, "TR", true, 4, 4},
    {InputType::RR, "RR", true, 5, 5},
    {InputType::PT, "PT", true, 6, 6},
}};

const TypeBox& typeBox(InputType type)
{
    return kTypeBoxes[static_cast<int>(type)];
}

// ICFGn bits 2 to 6 and ECFGn bits 0 to 4: telephone numbers 1 to 5 and 6 to 10.
constexpr int kFirstSmsBit = 2;
constexpr int kSmsPerByte = 5;

constexpr std::uint8_t kHighToLow = 0x01;
constexpr std::uint8_t kLowToHigh = 0x02;
constexpr std::uint8_t kNotifyReturn = 0x08;
constexpr std::uint8_t kRing = 0x10;
constexpr std::uint8_t kWakingHoursOnly = 0x20;
constexpr std::uint8_t kLimitFrequency = 0x40;

bool bit(std::uint8_t byte, int n)
{
    return (byte >> n & 1) != 0;
}

std::uint8_t bitIf(bool set, int n)
{
    return set ? static_cast<std::uint8_t>(1 << n) : 0;
}

std::uint8_t maskIf(bool set, std::uint8_t mask)
{
    return set ? mask : 0;
}

int unitCodeAtOpening(std::uint8_t inputFlags, std::uint8_t sensorFlags)
{
    const int kind = sensorFlags & kKindMask;
    if (inputFlags & kSensorBit)
        return kind == 1 || kind == 5 ? 1 : 2;
    return kind == 3 ? 3 : 0;
}

} // namespace

std::string_view InputTypeCaption(InputType type)
{
    return typeBox(type).caption;
}

bool InputHasTypeBox(int input, InputType type)
{
    switch (type) {
    case InputType::TR:
        return input % 2 == 1;
    case InputType::RR:
        return input % 2 == 0;
    case InputType::PT:
        return input <= 6;
    default:
        return true;
    }
}

int UnitCodeOfType(InputType type)
{
    return typeBox(type).unitCode;
}

void InputSettings::unpack(const SettingsImage& image)
{
    for (int input = 1; input <= kInputCount; ++input) {
        InputRow& row = inputs[input - 1];
        const std::uint8_t inputFlags = image.u8(slot("ICFG", input));
        const std::uint8_t sensorFlags = image.u8(slot("SCFG", input));
        const bool sensor = (inputFlags & kSensorBit) != 0;
        const int kind = sensorFlags & kKindMask;

        row.unitCode = unitCodeAtOpening(inputFlags, sensorFlags);
        for (const TypeBox& box : kTypeBoxes) {
            // S is the one type without the sensor bit, and shows whatever
            // that bit says.
            const bool matches = kind == box.kind && (sensor || box.type == InputType::S);
            row.type(box.type) = matches && InputHasTypeBox(input, box.type);
        }
        row.ring = (sensorFlags & kRing) != 0;
        row.notifyReturn = (sensorFlags & kNotifyReturn) != 0;
        row.wakingHoursOnly = (sensorFlags & kWakingHoursOnly) != 0;
        row.limitFrequency = (sensorFlags & kLimitFrequency) != 0;
        row.highToLow = (inputFlags & kHighToLow) != 0;
        row.lowToHigh = (inputFlags & kLowToHigh) != 0;

        const ThresholdUnit unit = InputThresholdUnit(row.unitCode);
        row.lowRaw = image.u16(slot("ULO", input));
        row.highRaw = image.u16(slot("UHI", input));
        row.lowThreshold = ThresholdToText(row.lowRaw, unit);
        row.highThreshold = ThresholdToText(row.highRaw, unit);

        const std::uint8_t moreNumbers = image.u8(slot("ECFG", input));
        for (int number = 0; number < kSmsPerByte; ++number) {
            row.sms[number] = bit(inputFlags, kFirstSmsBit + number);
            row.sms[kSmsPerByte + number] = bit(moreNumbers, number);
        }
        row.delay = DelayToText(image.u8(slot("ADEL", input)));
    }
    insensitivityL1toL4 = image.u8(slot("HIST1"));
    insensitivityL5toL8 = image.u8(slot("HIST2"));
    const std::uint8_t lowState = image.u8(slot("ALMD"));
    const std::uint8_t highState = image.u8(slot("ALMD", Field::kNotIndexed, 2));
    for (int column = 0; column < kInputCount; ++column) {
        lowStateAlarm[column] = bit(lowState, column);
        highStateAlarm[column] = bit(highState, column);
    }
}

void InputSettings::pack(SettingsImage& image) const
{
    image.setU8(slot("HIST1"), static_cast<std::uint8_t>(insensitivityL1toL4 & 0xFF));
    image.setU8(slot("HIST2"), static_cast<std::uint8_t>(insensitivityL5toL8 & 0xFF));
    for (int input = 1; input <= kInputCount; ++input) {
        const InputRow& row = inputs[input - 1];
        // Rebuilt from nothing: SCFGn bit 7 and ECFGn bits 5 to 7 end cleared.
        std::uint8_t inputFlags = 0;
        std::uint8_t sensorFlags = 0;
        std::uint8_t moreNumbers = 0;
        for (const TypeBox& box : kTypeBoxes) {
            if (!row.type(box.type))
                continue;
            inputFlags |= maskIf(box.sensorBit, kSensorBit);
            sensorFlags |= box.kind;
        }
        sensorFlags |= maskIf(row.ring, kRing) | maskIf(row.notifyReturn, kNotifyReturn)
                       | maskIf(row.wakingHoursOnly, kWakingHoursOnly) | maskIf(row.limitFrequency, kLimitFrequency);
        inputFlags |= maskIf(row.highToLow, kHighToLow) | maskIf(row.lowToHigh, kLowToHigh);
        for (int number = 0; number < kSmsPerByte; ++number) {
            inputFlags |= bitIf(row.sms[number], kFirstSmsBit + number);
            moreNumbers |= bitIf(row.sms[kSmsPerByte + number], number);
        }
        image.setU8(slot("ICFG", input), inputFlags);
        image.setU8(slot("SCFG", input), sensorFlags);
        image.setU8(slot("ECFG", input), moreNumbers);

        const ThresholdUnit unit = InputThresholdUnit(row.unitCode);
        image.setU16(slot("ULO", input), TextToThreshold(row.lowThreshold, unit, row.lowRaw));
        image.setU16(slot("UHI", input), TextToThreshold(row.highThreshold, unit, row.highRaw));
        const Slot delay = slot("ADEL", input);
        image.setU8(delay, TextToDelay(row.delay, image.u8(delay)));
    }
    std::uint8_t lowState = 0;
    std::uint8_t highState = 0;
    for (int column = 0; column < kInputCount; ++column) {
        lowState |= bitIf(lowStateAlarm[column], column);
        highState |= bitIf(highStateAlarm[column], column);
    }
    image.setU8(slot("ALMD"), lowState);
    image.setU8(slot("ALMD", Field::kNotIndexed, 2), highState);
}

void InputSettings::typeBoxClicked(int input, InputType box)
{
    InputRow& row = inputs[input - 1];
    const bool checked = row.type(box);
    row.types.fill(0);
    row.type(box) = checked;

    const ThresholdUnit before = InputThresholdUnit(row.unitCode);
    row.lowRaw = TextToThreshold(row.lowThreshold, before, row.lowRaw);
    row.highRaw = TextToThreshold(row.highThreshold, before, row.highRaw);
    row.unitCode = checked ? UnitCodeOfType(box) : 0;
    const ThresholdUnit after = InputThresholdUnit(row.unitCode);
    row.lowThreshold = ThresholdToText(row.lowRaw, after);
    row.highThreshold = ThresholdToText(row.highRaw, after);
}

} // namespace telvor
