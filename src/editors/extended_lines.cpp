#include "extended_lines.h"

#include "field_text.h"
#include "threshold_text.h"

namespace telvor {
namespace {

constexpr std::uint8_t kExpansionModule = 0x01;
constexpr std::uint8_t kEnergyCounter = 0x20;
constexpr std::uint8_t kHighToLow = 0x01;
constexpr std::uint8_t kLowToHigh = 0x02;
constexpr int kFirstSmsBit = 2; // XCFGj bits 2 to 6: telephone numbers 1 to 5
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

bool bit(std::uint8_t byte, int n)
{
    return (byte >> n & 1) != 0;
}

std::uint8_t bitIf(bool set, int n)
{
    return set ? static_cast<std::uint8_t>(1 << n) : 0;
}

std::uint8_t smsBits(const std::array<int, kLineSmsCount>& sms)
{
    std::uint8_t flags = 0;
    for (int number = 0; number < kLineSmsCount; ++number)
        flags |= bitIf(sms[number], kFirstSmsBit + number);
    return flags;
}

void unpackSms(std::uint8_t flags, std::array<int, kLineSmsCount>& sms)
{
    for (int number = 0; number < kLineSmsCount; ++number)
        sms[number] = bit(flags, kFirstSmsBit + number);
}

} // namespace

void ExtendedLines::unpack(const SettingsImage& image)
{
    const std::uint8_t support = image.u8(slot("MCFG2"));
    expansionModule = (support & kExpansionModule) != 0;
    energyCounter = (support & kEnergyCounter) != 0;
    for (int line = 1; line <= kExtendedLineCount; ++line) {
        ExtendedLine& row = lines[line - 1];
        const std::uint8_t flags = image.u8(slot("XCFG", line));
        row.highToLow = (flags & kHighToLow) != 0;
        row.lowToHigh = (flags & kLowToHigh) != 0;
        unpackSms(flags, row.sms);
        row.body = TextFromField(image, slot("XMS", line));
    }
    unpackSms(image.u8(slot("XCFG", kCommunicationControl)), communicationControl.sms);
    communicationControl.body = TextFromField(image, slot("XMS", kCommunicationControl));
    const std::uint8_t emailFlags = image.u8(slot("SXML"));
    for (int address = 0; address < kEmailAddressCount; ++address)
        email[address] = bit(emailFlags, address);
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
    const Slot supportSlot = slot("MCFG2");
    std::uint8_t support = image.u8(supportSlot) & static_cast<std::uint8_t>(~(kExpansionModule | kEnergyCounter));
    if (expansionModule)
        support |= kExpansionModule;
    if (energyCounter)
        support |= kEnergyCounter;
    image.setU8(supportSlot, support);

    for (int line = 1; line <= kExtendedLineCount; ++line) {
        const ExtendedLine& row = lines[line - 1];
        std::uint8_t flags = smsBits(row.sms);
        if (row.highToLow)
            flags |= kHighToLow;
        if (row.lowToHigh)
            flags |= kLowToHigh;
        image.setU8(slot("XCFG", line), flags);
        TextToField(row.body, image, slot("XMS", line));
    }
    image.setU8(slot("XCFG", kCommunicationControl), smsBits(communicationControl.sms));
    TextToField(communicationControl.body, image, slot("XMS", kCommunicationControl));

    std::uint8_t emailFlags = 0;
    for (int address = 0; address < kEmailAddressCount; ++address)
        emailFlags |= bitIf(email[address], address);
    image.setU8(slot("SXML"), emailFlags);

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
