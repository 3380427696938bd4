// The internet access editor's values: the GPRS access point, the SMTP
// server, the e-mail addresses and the HTTP transmission to a web server.
#pragma once

#include "image/settings_image.h"

#include <array>
#include <string>

namespace telvor {

inline constexpr int kMinUid = 0;
inline constexpr int kMaxUid = 65535;
inline constexpr int kMinTransmitPeriod = 0;
inline constexpr int kMaxTransmitPeriod = 255;
inline constexpr int kServerAddressLimit = slot("URL0").width;
inline constexpr int kHttpMessageLimit = slot("URL1").width;

struct InternetAccess {
    // APN0 to APN6: APN name, user and password, SMTP server name, user and
    // password, sender name. These and the e-mail addresses take text of any
    // length; storing cuts it to the field's width.
    std::array<std::string, 7> accessTexts;
    // EAD0 to EAD5: the sender address, then the recipients E-mail 1 to 5.
    std::array<std::string, 6> emailAddresses;
    int uid = 0;
    // In units of 5 minutes.
    int transmitPeriod = 0;
    std::string serverAddress;
    std::string message;
    int onlyDuringWakingHours = 0;
    // Its box is hidden and disabled, so the bit travels through unchanged.
    int wwwAuthorisation = 0;

    void unpack(const SettingsImage& image);
    // MCFG2 keeps every bit but its two.
    void pack(SettingsImage& image) const;
};

} // namespace telvor
