#include "email_notifications.h"

#include "editors/flag_bits.h"

namespace telvor {
namespace {

constexpr int kJpgBit = 5;
constexpr int kEraseLogBit = 5;
constexpr int kMeasurementRecordsBit = 6;
constexpr int kHourMask = 0x1F;
constexpr int kPeriodShift = 5;
constexpr int kPeriodMask = 0x03;

constexpr Slot kReport = slot("RCFG", Field::kNotIndexed, 2);

RecipientRow splitRow(std::uint8_t byte)
{
    return {.recipients = splitFlags<kEmailRecipientCount>(byte), .jpgPicture = flagBit(byte, kJpgBit)};
}

std::uint8_t joinRow(const RecipientRow& row)
{
    return withFlagBit(joinFlags(row.recipients), kJpgBit, row.jpgPicture);
}

} // namespace

void EmailNotifications::unpack(const SettingsImage& image)
{
    for (int input = 1; input <= static_cast<int>(inputs.size()); ++input)
        inputs[input - 1] = splitRow(image.u8(slot("SEML", input)));
    report = splitRow(image.u8(kReport));
    const std::uint8_t logTargets = image.u8(slot("SLGT"));
    logRecipients = splitFlags<kEmailRecipientCount>(logTargets);
    eraseLogAfterSending = flagBit(logTargets, kEraseLogBit);
    sendMeasurementRecords = flagBit(logTargets, kMeasurementRecordsBit);
    const std::uint8_t schedule = image.u8(slot("SLOG"));
    sendingHour = schedule & kHourMask;
    sendPeriod = schedule >> kPeriodShift & kPeriodMask;
}

void EmailNotifications::pack(SettingsImage& image) const
{
    for (int input = 1; input <= static_cast<int>(inputs.size()); ++input)
        image.setU8(slot("SEML", input), joinRow(inputs[input - 1]));
    image.setU8(kReport, joinRow(report));
    std::uint8_t logTargets = joinFlags(logRecipients);
    logTargets = withFlagBit(logTargets, kEraseLogBit, eraseLogAfterSending);
    logTargets = withFlagBit(logTargets, kMeasurementRecordsBit, sendMeasurementRecords);
    image.setU8(slot("SLGT"), logTargets);
    image.setU8(slot("SLOG"),
                static_cast<std::uint8_t>((sendingHour & kHourMask) | (sendPeriod & kPeriodMask) << kPeriodShift));
}

} // namespace telvor
