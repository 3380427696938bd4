#include "email_notifications_editor.h"

namespace telvor {
namespace {

constexpr int kJpgBit = 5;
constexpr int kEraseLogBit = 5;
constexpr int kMeasurementRecordsBit = 6;
constexpr std::uint8_t kHourMask = 0x1F;
constexpr int kPeriodShift = 5;
constexpr std::uint8_t kPeriodMask = 0x03;

constexpr bool bitOf(std::uint8_t byte, int bit) { return (byte >> bit) & 1; }
constexpr std::uint8_t bitIf(bool on, int bit) { return on ? static_cast<std::uint8_t>(1 << bit) : 0; }

RecipientRow unpackRow(std::uint8_t byte)
{
    RecipientRow row;
    for (int recipient = 0; recipient < kEmailRecipients; ++recipient)
        row.recipients[recipient] = bitOf(byte, recipient);
    row.jpgPicture = bitOf(byte, kJpgBit);
    return row;
}

std::uint8_t packRow(const RecipientRow& row)
{
    std::uint8_t byte = bitIf(row.jpgPicture, kJpgBit);
    for (int recipient = 0; recipient < kEmailRecipients; ++recipient)
        byte |= bitIf(row.recipients[recipient], recipient);
    return byte;
}

} // namespace

void EmailNotificationsEditor::unpack(const SettingsImage& image)
{
    for (int input = 1; input <= kInputs; ++input)
        inputs[input - 1] = unpackRow(image.u8(slot("SEML", input)));
    report = unpackRow(image.u8(slot("RCFG", Field::kNotIndexed, 2)));
    const std::uint8_t logTargets = image.u8(slot("SLGT"));
    for (int recipient = 0; recipient < kEmailRecipients; ++recipient)
        logRecipients[recipient] = bitOf(logTargets, recipient);
    eraseLogAfterSending = bitOf(logTargets, kEraseLogBit);
    sendMeasurementRecords = bitOf(logTargets, kMeasurementRecordsBit);
    const std::uint8_t schedule = image.u8(slot("SLOG"));
    sendingHour = schedule & kHourMask;
    sendPeriod = (schedule >> kPeriodShift) & kPeriodMask;
}

void EmailNotificationsEditor::pack(SettingsImage& image) const
{
    for (int input = 1; input <= kInputs; ++input)
        image.setU8(slot("SEML", input), packRow(inputs[input - 1]));
    image.setU8(slot("RCFG", Field::kNotIndexed, 2), packRow(report));
    std::uint8_t logTargets = bitIf(eraseLogAfterSending, kEraseLogBit) |
                              bitIf(sendMeasurementRecords, kMeasurementRecordsBit);
    for (int recipient = 0; recipient < kEmailRecipients; ++recipient)
        logTargets |= bitIf(logRecipients[recipient], recipient);
    image.setU8(slot("SLGT"), logTargets);
    image.setU8(slot("SLOG"), static_cast<std::uint8_t>((sendingHour & kHourMask) |
                                                        (sendPeriod & kPeriodMask) << kPeriodShift));
}

} // namespace telvor
