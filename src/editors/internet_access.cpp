#include "internet_access.h"

#include "editors/field_text.h"
#include "editors/flag_bits.h"

namespace telvor {
namespace {

constexpr int kWwwAuthorisationBit = 2;
constexpr int kWakingHoursBit = 3;

} // namespace

void InternetAccess::unpack(const SettingsImage& image)
{
    for (std::size_t n = 0; n < accessTexts.size(); ++n)
        accessTexts[n] = textFromField(image, slot("APN", static_cast<int>(n)));
    for (std::size_t n = 0; n < emailAddresses.size(); ++n)
        emailAddresses[n] = textFromField(image, slot("EAD", static_cast<int>(n)));
    const std::uint8_t flags = image.u8(slot("MCFG2"));
    onlyDuringWakingHours = flagBit(flags, kWakingHoursBit);
    wwwAuthorisation = flagBit(flags, kWwwAuthorisationBit);
    serverAddress = textFromField(image, slot("URL0"));
    message = textFromField(image, slot("URL1"));
    uid = image.u16(slot("NUID"));
    transmitPeriod = image.u8(slot("THTP"));
}

void InternetAccess::pack(SettingsImage& image) const
{
    for (std::size_t n = 0; n < accessTexts.size(); ++n)
        textToField(accessTexts[n], image, slot("APN", static_cast<int>(n)));
    for (std::size_t n = 0; n < emailAddresses.size(); ++n)
        textToField(emailAddresses[n], image, slot("EAD", static_cast<int>(n)));
    const std::uint8_t flags = withFlagBit(image.u8(slot("MCFG2")), kWakingHoursBit, onlyDuringWakingHours);
    image.setU8(slot("MCFG2"), withFlagBit(flags, kWwwAuthorisationBit, wwwAuthorisation));
    textToField(serverAddress, image, slot("URL0"));
    textToField(message, image, slot("URL1"));
    image.setU16(slot("NUID"), static_cast<std::uint16_t>(uid & 0xFFFF));
    image.setU8(slot("THTP"), static_cast<std::uint8_t>(transmitPeriod));
}

} // namespace telvor
