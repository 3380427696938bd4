// The authorization editor's values: which of the telephone numbers Num 1
// to Num 10 may use which service, and which services are open to anyone.
#pragma once

#include "image/settings_image.h"

#include <array>

namespace telvor {

// One box per telephone number, Num 1 first.
using NumberBoxes = std::array<int, 10>;

struct Authorization {
    int onDemandReportAnyone = 0;
    NumberBoxes onDemandReport{};
    int csdConnectionAnyone = 0;
    // Only Num 1 to Num 5 can open a modem connection.
    std::array<int, 5> csdConnection{};
    int remoteControlAnyone = 0;
    NumberBoxes remoteControl{};
    NumberBoxes periodicalReport{};

    void unpack(const SettingsImage& image);
    // Rebuilds the seven bytes from 0: bits without a box become 0.
    void pack(SettingsImage& image) const;
};

} // namespace telvor
