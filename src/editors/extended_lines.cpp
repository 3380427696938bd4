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
constexpr int kFirstSmsBit = 2; // bits 2 to 6: telephone numbers 1 to 5
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
        flags = WithFlagBit(flags, kFirstSmsBit + number, sms[number]);
    return flags;
}

std::array<int, kLineSmsCount> smsOf(std::uint8_t flags)
{
    std::array<int, kLineSmsCount> sms{};
    for (int number = 0; number < kLineSmsCount; ++number)
        sms[number] = FlagBit(flags, kFirstSmsBit + number);
    return sms;
}

} // namespace

void ExtendedLines::unpack(const SettingsImage& image)
{
    const std::uint8_t support = image.u8(slot("MCFG2"));
    expansionModule = FlagBit(support, kExpansionModuleBit);
    energyCounter = FlagBit(support, kEnergyCounterBit);
    for (int line = 1; line <= kExtendedLineCount; ++line) {
        ExtendedLine& row = lines[line - 1];
        const std::uint8_t flags = image.u8(slot("XCFG", line));
        row.highToLow = FlagBit(flags, kHighToLowBit);
        row.lowToHigh = FlagBit(flags, kLowToHighBit);
        row.sms = smsOf(flags);
        row.body = TextFromField(image, slot("XMS", line));
    }
    communicationControl.sms = smsOf(image.u8(slot("XCFG", kCommunicationControl)));
    communicationControl.body = TextFromField(image, slot("XMS", kCommunicationControl));
    email = SplitFlags<kEmailAddressCount>(image.u8(slot("SXML")));
    for (int index = 0; index < kLineGroupCount; ++index) {
        LineGroup& group = groups[index];
        const GroupFields& fields = kGroupFields[index];
        group.typeCode = image.u8(slot(fields.type));
        group.temperature = group.typeCode == kTemperatureType;
        group.humidity = group.typeCode == kHumidityType;
        group.lowRaw = image.u16(slot(fields.low));
        group.highRaw = image.u16(slot(fields.high));
        const ThresholdUnit unit = ExtendedLineThresholdUnit(group.typeCode);
        group.lowThreshold = ThresholdToText(group.lowRaw, unit);
        group.highThreshold = ThresholdToText(group.highRaw, unit);
    }
}

void ExtendedLines::pack(SettingsImage& image) const
{
    // MCFG2 is shared with other editors: only bits 0 and 5 are ours.
    const Slot support = slot("MCFG2");
    image.setU8(support, WithFlagBit(WithFlagBit(image.u8(support), kExpansionModuleBit, expansionModule),
                                     kEnergyCounterBit, energyCounter));

    for (int line = 1; line <= kExtendedLineCount; ++line) {
        const ExtendedLine& row = lines[line - 1];
        std::uint8_t flags = withSms(0, row.sms);
        flags = WithFlagBit(flags, kHighToLowBit, row.highToLow);
        flags = WithFlagBit(flags, kLowToHighBit, row.lowToHigh);
        image.setU8(slot("XCFG", line), flags);
        TextToField(row.body, image, slot("XMS", line));
    }
    image.setU8(slot("XCFG", kCommunicationControl), withSms(0, communicationControl.sms));
    TextToField(communicationControl.body, image, slot("XMS", kCommunicationControl));

    image.setU8(slot("SXML"), JoinFlags(email));

    for (int index = 0; index < kLineGroupCount; ++index) {
        const LineGroup& group = groups[index];
        const GroupFields& fields = kGroupFields[index];
        // The stored type follows the boxes; a code the editor does not
        // know is not written back.
        const int type = group.temperature ? kTemperatureType : group.humidity ? kHumidityType : kNoType;
        const ThresholdUnit unit = ExtendedLineThresholdUnit(type);
        image.setU8(slot(fields.type), static_cast<std::uint8_t>(type));
        image.setU16(slot(fields.low), TextToThreshold(group.lowThreshold, unit, group.lowRaw));
        image.setU16(slot(fields.high), TextToThreshold(group.highThreshold, unit, group.highRaw));
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

    const ThresholdUnit before = ExtendedLineThresholdUnit(group.typeCode);
    group.lowRaw = TextToThreshold(group.lowThreshold, before, group.lowRaw);
    group.highRaw = TextToThreshold(group.highThreshold, before, group.highRaw);
    group.typeCode = !checked ? kNoType : box == LineSensor::Temperature ? kTemperatureType : kHumidityType;
    const ThresholdUnit after = ExtendedLineThresholdUnit(group.typeCode);
    group.lowThreshold = ThresholdToText(group.lowRaw, after);
    group.highThreshold = ThresholdToText(group.highRaw, after);
}

} // namespace telvor
