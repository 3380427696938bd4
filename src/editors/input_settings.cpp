#include "input_settings.h"

#include "delay_text.h"
#include "flag_bits.h"
#include "threshold_text.h"

#include <span>

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

// ICFGn
constexpr int kHighToLowBit = 0;
constexpr int kLowToHighBit = 1;
// SCFGn
constexpr int kNotifyReturnBit = 3;
constexpr int kRingBit = 4;
constexpr int kWakingHoursOnlyBit = 5;
constexpr int kLimitFrequencyBit = 6;

} // namespace

int inputUnitCode(std::uint8_t inputFlags, std::uint8_t sensorFlags)
{
    const int kind = sensorFlags & kKindMask;
    if (inputFlags & kSensorBit)
        return kind == 1 || kind == 5 ? 1 : 2;
    return kind == 3 ? 3 : 0;
}

InputTypeBits inputTypeBits(InputType type)
{
    return {typeBox(type).sensorBit, typeBox(type).kind};
}

std::string_view inputTypeCaption(InputType type)
{
    return typeBox(type).caption;
}

bool inputHasTypeBox(int input, InputType type)
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

int unitCodeOfType(InputType type)
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

        row.unitCode = inputUnitCode(inputFlags, sensorFlags);
        for (const TypeBox& box : kTypeBoxes) {
            // S is the one type without the sensor bit, and shows whatever
            // that bit says.
            const bool matches = kind == box.kind && (sensor || box.type == InputType::S);
            row.type(box.type) = matches && inputHasTypeBox(input, box.type);
        }
        row.ring = flagBit(sensorFlags, kRingBit);
        row.notifyReturn = flagBit(sensorFlags, kNotifyReturnBit);
        row.wakingHoursOnly = flagBit(sensorFlags, kWakingHoursOnlyBit);
        row.limitFrequency = flagBit(sensorFlags, kLimitFrequencyBit);
        row.highToLow = flagBit(inputFlags, kHighToLowBit);
        row.lowToHigh = flagBit(inputFlags, kLowToHighBit);

        const ThresholdUnit unit = inputThresholdUnit(row.unitCode);
        row.lowRaw = image.u16(slot("ULO", input));
        row.highRaw = image.u16(slot("UHI", input));
        row.lowThreshold = thresholdToText(row.lowRaw, unit);
        row.highThreshold = thresholdToText(row.highRaw, unit);

        const auto moreNumbers = splitFlags<kSmsPerByte>(image.u8(slot("ECFG", input)));
        for (int number = 0; number < kSmsPerByte; ++number) {
            row.sms[number] = flagBit(inputFlags, kFirstSmsBit + number);
            row.sms[kSmsPerByte + number] = moreNumbers[number];
        }
        row.delay = delayToText(image.u8(slot("ADEL", input)));
    }
    insensitivityL1toL4 = image.u8(slot("HIST1"));
    insensitivityL5toL8 = image.u8(slot("HIST2"));
    lowStateAlarm = splitFlags<kInputCount>(image.u8(slot("ALMD")));
    highStateAlarm = splitFlags<kInputCount>(image.u8(slot("ALMD", Field::kNotIndexed, 2)));
}

void InputSettings::pack(SettingsImage& image) const
{
    image.setU8(slot("HIST1"), static_cast<std::uint8_t>(insensitivityL1toL4 & 0xFF));
    image.setU8(slot("HIST2"), static_cast<std::uint8_t>(insensitivityL5toL8 & 0xFF));
    for (int input = 1; input <= kInputCount; ++input) {
        const InputRow& row = inputs[input - 1];
        // Rebuilt from nothing: SCFGn bit 7 and ECFGn bits 5 to 7 end cleared.
        // The kind codes of several checked boxes would mix; the type box
        // clicks keep one at most.
        std::uint8_t inputFlags = 0;
        std::uint8_t sensorFlags = 0;
        for (const TypeBox& box : kTypeBoxes) {
            if (!row.type(box.type))
                continue;
            if (box.sensorBit)
                inputFlags |= kSensorBit;
            sensorFlags |= box.kind;
        }
        sensorFlags = withFlagBit(sensorFlags, kRingBit, row.ring);
        sensorFlags = withFlagBit(sensorFlags, kNotifyReturnBit, row.notifyReturn);
        sensorFlags = withFlagBit(sensorFlags, kWakingHoursOnlyBit, row.wakingHoursOnly);
        sensorFlags = withFlagBit(sensorFlags, kLimitFrequencyBit, row.limitFrequency);
        inputFlags = withFlagBit(inputFlags, kHighToLowBit, row.highToLow);
        inputFlags = withFlagBit(inputFlags, kLowToHighBit, row.lowToHigh);
        for (int number = 0; number < kSmsPerByte; ++number)
            inputFlags = withFlagBit(inputFlags, kFirstSmsBit + number, row.sms[number]);
        const std::span<const int> moreNumbers(row.sms.begin() + kSmsPerByte, row.sms.end());
        image.setU8(slot("ICFG", input), inputFlags);
        image.setU8(slot("SCFG", input), sensorFlags);
        image.setU8(slot("ECFG", input), joinFlags(moreNumbers));

        const ThresholdUnit unit = inputThresholdUnit(row.unitCode);
        image.setU16(slot("ULO", input), textToThreshold(row.lowThreshold, unit, row.lowRaw));
        image.setU16(slot("UHI", input), textToThreshold(row.highThreshold, unit, row.highRaw));
        const Slot delay = slot("ADEL", input);
        image.setU8(delay, textToDelay(row.delay, image.u8(delay)));
    }
    image.setU8(slot("ALMD"), joinFlags(lowStateAlarm));
    image.setU8(slot("ALMD", Field::kNotIndexed, 2), joinFlags(highStateAlarm));
}

void InputSettings::typeBoxClicked(int input, InputType box)
{
    InputRow& row = inputs[input - 1];
    const bool checked = row.type(box);
    row.types.fill(0);
    row.type(box) = checked;

    const ThresholdUnit before = inputThresholdUnit(row.unitCode);
    row.lowRaw = textToThreshold(row.lowThreshold, before, row.lowRaw);
    row.highRaw = textToThreshold(row.highThreshold, before, row.highRaw);
    row.unitCode = checked ? unitCodeOfType(box) : 0;
    const ThresholdUnit after = inputThresholdUnit(row.unitCode);
    row.lowThreshold = thresholdToText(row.lowRaw, after);
    row.highThreshold = thresholdToText(row.highRaw, after);
}

} // namespace telvor
