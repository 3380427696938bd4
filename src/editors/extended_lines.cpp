#include "extended_lines.h"

#include "field_text.h"
#include "flag_bits.h"
#include "threshold_text.h"

namespace telvor {
namespace {

// MCFG2
constexpr int kExpansionModuleBit = 0;
constexpr int kEnergyCounterBit = 5;
// XCFGj
constexpr int kHighToLowBit = 0;
constexpr int kLowToHighBit = 1;
constexpr int kFirstSmsBit = 2;                               // bits 2 to 6: telephone numbers 1 to 5
constexpr int kCommunicationControl = kExtendedLineCount + 1; // XCFG17, XMS17

constexpr int kNoType = 0;
constexpr int kHumidityType = 1;
constexpr int kTemperatureType = 2;

// Where each group keeps its type and thresholds in the image.
struct GroupFields {
    std::string_view type;
    std::string_view low;
    std::string_view high;
};
constexpr std::array<GroupFields, kLineGroupCount> kGroupFields = {{
    {"XTYP1", "XLO1", "XHI1"},
    {"XTYP9", "XLO9", "XHI9"},
}};

std::uint8_t withSms(std::uint8_t flags, const std::array<int, kLineSmsCount>& sms)
{
    for (int number = 0; number < kLineSmsCount; ++number)
        flags = withFlagBit(flags, kFirstSmsBit + number, sms[number]);
    return flags;
}

std::array<int, kLineSmsCount> smsOf(std::uint8_t flags)
{
    std::array<int, kLineSmsCount> sms{};
    for (int number = 0; number < kLineSmsCount; ++number)
        sms[number] = flagBit(flags, kFirstSmsBit + number);
    return sms;
}

} // namespace

void ExtendedLines::unpack(const SettingsImage& image)
{
    const std::uint8_t support = image.u8(slot("MCFG2"));
    expansionModule = flagBit(support, kExpansionModuleBit);
    energyCounter = flagBit(support, kEnergyCounterBit);
    for (int line = 1; line <= kExtendedLineCount; ++line) {
        ExtendedLine& row = lines[line - 1];
        const std::uint8_t flags = image.u8(slot("XCFG", line));
        row.highToLow = flagBit(flags, kHighToLowBit);
        row.lowToHigh = flagBit(flags, kLowToHighBit);
        row.sms = smsOf(flags);
        row.body = textFromField(image, slot("XMS", line));
    }
    communicationControl.sms = smsOf(image.u8(slot("XCFG", kCommunicationControl)));
    communicationControl.body = textFromField(image, slot("XMS", kCommunicationControl));
    email = splitFlags<kEmailAddressCount>(image.u8(slot("SXML")));
    for (int index = 0; index < kLineGroupCount; ++index) {
        LineGroup& group = groups[index];
        const GroupFields& fields = kGroupFields[index];
        group.typeCode = image.u8(slot(fields.type));
        group.temperature = group.typeCode == kTemperatureType;
        group.humidity = group.typeCode == kHumidityType;
        group.lowRaw = image.u16(slot(fields.low));
        group.highRaw = image.u16(slot(fields.high));
        const ThresholdUnit unit = extendedLineThresholdUnit(group.typeCode);
        group.lowThreshold = thresholdToText(group.lowRaw, unit);
        group.highThreshold = thresholdToText(group.highRaw, unit);
    }
}

void ExtendedLines::pack(SettingsImage& image) const
{
    // MCFG2 is shared with other editors: only bits 0 and 5 are ours.
    const Slot support = slot("MCFG2");
    image.setU8(support,
                withFlagBit(withFlagBit(image.u8(support), kExpansionModuleBit, expansionModule), kEnergyCounterBit,
                            energyCounter));

    for (int line = 1; line <= kExtendedLineCount; ++line) {
        const ExtendedLine& row = lines[line - 1];
        std::uint8_t flags = withSms(0, row.sms);
        flags = withFlagBit(flags, kHighToLowBit, row.highToLow);
        flags = withFlagBit(flags, kLowToHighBit, row.lowToHigh);
        image.setU8(slot("XCFG", line), flags);
        textToField(row.body, image, slot("XMS", line));
    }
    image.setU8(slot("XCFG", kCommunicationControl), withSms(0, communicationControl.sms));
    textToField(communicationControl.body, image, slot("XMS", kCommunicationControl));

    image.setU8(slot("SXML"), joinFlags(email));

    for (int index = 0; index < kLineGroupCount; ++index) {
        const LineGroup& group = groups[index];
        const GroupFields& fields = kGroupFields[index];
        // The stored type follows the boxes; a code the editor does not
        // know is not written back.
        const int type = group.temperature ? kTemperatureType : group.humidity ? kHumidityType : kNoType;
        const ThresholdUnit unit = extendedLineThresholdUnit(type);
        image.setU8(slot(fields.type), static_cast<std::uint8_t>(type));
        image.setU16(slot(fields.low), textToThreshold(group.lowThreshold, unit, group.lowRaw));
        image.setU16(slot(fields.high), textToThreshold(group.highThreshold, unit, group.highRaw));
    }
}

void ExtendedLines::typeBoxClicked(int index, LineSensor box)
{
    LineGroup& group = groups[index];
    const bool checked = box == LineSensor::Temperature ? group.temperature : group.humidity;
    if (box == LineSensor::Temperature)
        group.humidity = false;
    else
        group.temperature = false;

    const ThresholdUnit before = extendedLineThresholdUnit(group.typeCode);
    group.lowRaw = textToThreshold(group.lowThreshold, before, group.lowRaw);
    group.highRaw = textToThreshold(group.highThreshold, before, group.highRaw);
    group.typeCode = !checked ? kNoType : box == LineSensor::Temperature ? kTemperatureType : kHumidityType;
    const ThresholdUnit after = extendedLineThresholdUnit(group.typeCode);
    group.lowThreshold = thresholdToText(group.lowRaw, after);
    group.highThreshold = thresholdToText(group.highRaw, after);
}

} // namespace telvor
