// The message bodies editor's values: the texts the device sends by SMS or
// e-mail, stored verbatim with their @ variable codes.
#pragma once

#include "image/settings_image.h"

#include <array>
#include <string>

namespace telvor {

inline constexpr int kMessageBodyWidth = 160;

struct MessageBodies {
    // Indexed like the SMS fields: 0 the periodical report, 1 to 8 the
    // inputs L1 to L8, 9 the on-demand report.
    std::array<std::string, 10> bodies;

    void unpack(const SettingsImage& image);
    void pack(SettingsImage& image) const;
};

} // namespace telvor
