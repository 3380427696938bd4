// To which of the five e-mail recipients the notification of each input and
// the report are mailed, and the mailing of the measurement log, as the
// "E-mail messages" editor shows them.
#pragma once

#include "image/settings_image.h"

#include <array>

namespace telvor {

inline constexpr int kEmailRecipients = 5;

// One row of the grid: SEML1 to SEML8 for the inputs, the second value of
// RCFG for the report.
struct RecipientRow {
    std::array<bool, kEmailRecipients> recipients{};
    // Its box is hidden and disabled, so the bit travels through unchanged.
    bool jpgPicture = false;
};

struct EmailNotificationsEditor {
    static constexpr int kInputs = 8;
    // The sending hour is a 5-bit number on the device, so 24 to 31 pass.
    static constexpr int kMinSendingHour = 0;
    static constexpr int kMaxSendingHour = 31;

    std::array<RecipientRow, kInputs> inputs{};
    RecipientRow report;
    std::array<bool, kEmailRecipients> logRecipients{};
    bool eraseLogAfterSending = false;
    bool sendMeasurementRecords = false;
    int sendingHour = 0;
    // The chosen send period: 0, 1, 2, 3 for 1, 2, 3, 7 days.
    int sendPeriod = 0;

    void unpack(const SettingsImage& image);
    void pack(SettingsImage& image) const;
};

} // namespace telvor
