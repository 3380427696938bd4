// The e-mail notifications editor's values: to which of the five e-mail
// recipients the notification of each input and the report are mailed, and
// the mailing of the measurement log.
#pragma once

#include "image/settings_image.h"

#include <array>

namespace telvor {

inline constexpr int kEmailRecipientCount = 5;
// The sending hour is a 5-bit number on the device, so 24 to 31 pass.
inline constexpr int kMinSendingHour = 0;
inline constexpr int kMaxSendingHour = 31;

// One row of the grid: SEML1 to SEML8 for the inputs, the second value of
// RCFG for the report. Each member is a check box (0 or 1).
struct RecipientRow {
    std::array<int, kEmailRecipientCount> recipients{};
    // Its box is hidden and disabled, so the bit travels through unchanged.
    int jpgPicture = 0;
};

struct EmailNotifications {
    std::array<RecipientRow, 8> inputs{}; // L1 to L8
    RecipientRow report;
    std::array<int, kEmailRecipientCount> logRecipients{};
    int eraseLogAfterSending = 0;
    int sendMeasurementRecords = 0;
    int sendingHour = 0;
    // The chosen send period button: 0, 1, 2, 3 for 1, 2, 3, 7 days.
    int sendPeriod = 0;

    void unpack(const SettingsImage& image);
    // Rebuilds every byte from 0: bits without a box become 0.
    void pack(SettingsImage& image) const;
};

} // namespace telvor
