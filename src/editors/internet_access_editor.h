// The GPRS access point, the SMTP server, the e-mail addresses and the HTTP
// transmission to a web server, as the "Internet access" editor shows them.
#pragma once

#include "image/settings_image.h"

#include <array>
#include <string>

namespace telvor {

struct InternetAccessEditor {
    // APN0 to APN6: APN name, user and password, SMTP server name, user and
    // password, sender name.
    static constexpr int kAccessTexts = 7;
    // EAD0 to EAD5: the sender address and the five recipients.
    static constexpr int kEmailAddresses = 6;
    static constexpr int kMinUid = 0;
    static constexpr int kMaxUid = 65535;
    static constexpr int kMinTransmitPeriod = 0;
    static constexpr int kMaxTransmitPeriod = 255;
    static constexpr int kServerAddressLimit = slot("URL0").width;
    static constexpr int kMessageLimit = slot("URL1").width;

    // These thirteen boxes take text of any length; OK cuts it to the field.
    std::array<std::string, kAccessTexts> accessTexts;
    std::array<std::string, kEmailAddresses> emailAddresses;
    int uid = 0;
    // In units of 5 minutes.
    int transmitPeriod = 0;
    std::string serverAddress;
    std::string message;
    bool onlyDuringWakingHours = false;
    // Its box is hidden and disabled, so the bit travels through unchanged.
    bool wwwAuthorisation = false;

    void unpack(const SettingsImage& image);
    void pack(SettingsImage& image) const;
};

} // namespace telvor
