#include "basic_settings.h"

#include "editors/field_text.h"
#include "editors/flag_bits.h"

namespace telvor {
namespace {

constexpr Slot kBalanceCodeStart = slot("URL2");
constexpr Slot kBalanceCodeSeventh = slot("URL2", Field::kNotIndexed, 7);
constexpr Slot kBalanceCodeEighth = slot("URL2", Field::kNotIndexed, 8);

// MCFG1 bits: 0 periodical report, 1 PIN active, 2 SMS limit, 3 report only
// in alarm state, 4 acknowledges, 5 LCD.
// MCFG2 bits shared with other editors: 1 report after C1 changes,
// 4 logging only in waking hours, 7 logging ten times faster in alarm state.
constexpr int kReportAfterC1ChangeBit = 1;
constexpr int kLoggingOnlyInWakingHoursBit = 4;
constexpr int kLoggingFasterInAlarmStateBit = 7;

// A network code of 0xFFFF means "not set"; it is shown and stored as 0,
// automatic choice of the network.
constexpr std::uint16_t kUnsetNetworkCode = 0xFFFF;

bool holdsCharacter(std::uint8_t byte)
{
    return byte != 0x00 && byte != 0xFF;
}

} // namespace

std::string balanceCheckCodeOf(const SettingsImage& image)
{
    std::string code = textFromField(image, kBalanceCodeStart);
    const std::uint8_t seventh = image.u8(kBalanceCodeSeventh);
    const std::uint8_t eighth = image.u8(kBalanceCodeEighth);
    if (holdsCharacter(seventh)) {
        code += static_cast<char>(seventh);
        if (holdsCharacter(eighth))
            code += static_cast<char>(eighth);
    }
    return code;
}

void storeBalanceCheckCode(std::string_view code, SettingsImage& image)
{
    textToField(code, image, kBalanceCodeStart);
    const auto characterAt = [code](std::size_t position) {
        return code.size() > position ? static_cast<std::uint8_t>(code[position]) : std::uint8_t{0};
    };
    image.setU8(kBalanceCodeSeventh, characterAt(6));
    image.setU8(kBalanceCodeEighth, characterAt(7));
}

std::uint16_t storedNetworkCode(int networkCode)
{
    const auto stored = static_cast<std::uint16_t>(networkCode);
    return stored == kUnsetNetworkCode ? 0 : stored;
}

void BasicSettings::unpack(SettingsImage& image)
{
    for (int number = 1; number <= 10; ++number)
        numbers[number - 1] = textFromField(image, slot("NUM", number));
    pin = textFromField(image, slot("PIN"));
    smsc = textFromField(image, slot("NUM", 0));

    const std::uint8_t mcfg1 = image.u8(slot("MCFG1"));
    periodicalReport = flagBit(mcfg1, 0);
    pinActive = flagBit(mcfg1, 1);
    smsLimitActive = flagBit(mcfg1, 2);
    reportOnlyInAlarmState = flagBit(mcfg1, 3);
    acknowledges = flagBit(mcfg1, 4);
    lcdSupport = flagBit(mcfg1, 5);

    const std::uint8_t mcfg2 = image.u8(slot("MCFG2"));
    reportAfterC1Change = flagBit(mcfg2, kReportAfterC1ChangeBit);
    loggingOnlyInWakingHours = flagBit(mcfg2, kLoggingOnlyInWakingHoursBit);
    loggingFasterInAlarmState = flagBit(mcfg2, kLoggingFasterInAlarmStateBit);

    reportPeriodMinutes = static_cast<int>(image.number(slot("TRPT")));
    reportHours = hourListFromBits(image, slot("RPTHR"));
    smsPerDay = static_cast<int>(image.number(slot("SLIM")));
    wakingHours = hourListFromBits(image, slot("GRDHR"));
    loggingPeriodMinutes = static_cast<int>(image.number(slot("LOGT")));
    balanceCheckHour = static_cast<int>(image.number(slot("TGAC")));

    if (image.u16(slot("COPS")) == kUnsetNetworkCode)
        image.setU16(slot("COPS"), 0);
    networkCode = image.u16(slot("COPS"));

    balanceCheckCode = balanceCheckCodeOf(image);

    for (int row = 0; row < 3; ++row)
        days[row] = splitFlags<8>(image.u8(slot("WKD", row + 1)));
}

void BasicSettings::pack(SettingsImage& image) const
{
    textToField(smsc, image, slot("NUM", 0));
    for (int number = 1; number <= 10; ++number)
        textToField(numbers[number - 1], image, slot("NUM", number));
    textToField(pin, image, slot("PIN"));
    image.setNumber(slot("TRPT"), reportPeriodMinutes);
    const std::array mcfg1{periodicalReport,       pinActive,    smsLimitActive,
                           reportOnlyInAlarmState, acknowledges, lcdSupport};
    image.setU8(slot("MCFG1"), joinFlags(mcfg1));
    image.setNumber(slot("SLIM"), smsPerDay);
    hourListToBits(reportHours, image, slot("RPTHR"));
    image.setNumber(slot("LOGT"), loggingPeriodMinutes);
    hourListToBits(wakingHours, image, slot("GRDHR"));

    std::uint8_t mcfg2 = image.u8(slot("MCFG2"));
    mcfg2 = withFlagBit(mcfg2, kLoggingFasterInAlarmStateBit, loggingFasterInAlarmState);
    mcfg2 = withFlagBit(mcfg2, kLoggingOnlyInWakingHoursBit, loggingOnlyInWakingHours);
    image.setU8(slot("MCFG2"), mcfg2);

    image.setNumber(slot("TGAC"), balanceCheckHour);
    image.setU16(slot("COPS"), storedNetworkCode(networkCode));
    for (int row = 0; row < 3; ++row)
        image.setU8(slot("WKD", row + 1), joinFlags(days[row]));
    storeBalanceCheckCode(balanceCheckCode, image);

    image.setU8(slot("MCFG2"), withFlagBit(image.u8(slot("MCFG2")), kReportAfterC1ChangeBit, reportAfterC1Change));
}

} // namespace telvor
