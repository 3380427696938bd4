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
        accessTexts[n] = TextFromField(image, slot("APN", static_cast<int>(n)));
    for (std::size_t n = 0; n < emailAddresses.size(); ++n)
        emailAddresses[n] = TextFromField(image, slot("EAD", static_cast<int>(n)));
    const std::uint8_t flags = image.u8(slot("MCFG2"));
    onlyDuringWakingHours = FlagBit(flags, kWakingHoursBit);
    wwwAuthorisation = FlagBit(flags, kWwwAuthorisationBit);
    serverAddress = TextFromField(image, slot("URL0"));
    message = TextFromField(image, slot("URL1"));
    uid = image.u16(slot("NUID"));
    transmitPeriod = image.u8(slot("THTP"));
}

void InternetAccess::pack(SettingsImage& image) const
{
    for (std::size_t n = 0; n < accessTexts.size(); ++n)
        TextToField(accessTexts[n], image, slot("APN", static_cast<int>(n)));
    for (std::size_t n = 0; n < emailAddresses.size(); ++n)
        TextToField(emailAddresses[n], image, slot("EAD", static_cast<int>(n)));
    const std::uint8_t flags = WithFlagBit(image.u8(slot("MCFG2")), kWakingHoursBit, onlyDuringWakingHours);
    image.setU8(slot("MCFG2"), WithFlagBit(flags, kWwwAuthorisationBit, wwwAuthorisation));
    TextToField(serverAddress, image, slot("URL0"));
    TextToField(message, image, slot("URL1"));
    image.setU16(slot("NUID"), static_cast<std::uint16_t>(uid & 0xFFFF));
    image.setU8(slot("THTP"), static_cast<std::uint8_t>(transmitPeriod));
}

} // namespace telvor
