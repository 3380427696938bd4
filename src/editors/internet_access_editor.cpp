#include "internet_access_editor.h"

#include "field_text.h"

namespace telvor {
namespace {

constexpr std::uint8_t kWwwAuthorisationBit = 0x04;
constexpr std::uint8_t kWakingHoursBit = 0x08;

} // namespace

void InternetAccessEditor::unpack(const SettingsImage& image)
{
    for (int n = 0; n < kAccessTexts; ++n)
        accessTexts[n] = TextFromField(image, slot("APN", n));
    for (int n = 0; n < kEmailAddresses; ++n)
        emailAddresses[n] = TextFromField(image, slot("EAD", n));
    const std::uint8_t flags = image.u8(slot("MCFG2"));
    onlyDuringWakingHours = flags & kWakingHoursBit;
    wwwAuthorisation = flags & kWwwAuthorisationBit;
    serverAddress = TextFromField(image, slot("URL0"));
    message = TextFromField(image, slot("URL1"));
    uid = image.u16(slot("NUID"));
    transmitPeriod = image.u8(slot("THTP"));
}

void InternetAccessEditor::pack(SettingsImage& image) const
{
    for (int n = 0; n < kAccessTexts; ++n)
        TextToField(accessTexts[n], image, slot("APN", n));
    for (int n = 0; n < kEmailAddresses; ++n)
        TextToField(emailAddresses[n], image, slot("EAD", n));
    std::uint8_t flags = image.u8(slot("MCFG2")) & ~(kWakingHoursBit | kWwwAuthorisationBit);
    if (onlyDuringWakingHours)
        flags |= kWakingHoursBit;
    if (wwwAuthorisation)
        flags |= kWwwAuthorisationBit;
    image.setU8(slot("MCFG2"), flags);
    TextToField(serverAddress, image, slot("URL0"));
    TextToField(message, image, slot("URL1"));
    image.setU16(slot("NUID"), static_cast<std::uint16_t>(uid & 0xFFFF));
    image.setU8(slot("THTP"), static_cast<std::uint8_t>(transmitPeriod));
}

} // namespace telvor
