// The basic settings editor's values: telephone numbers, PIN, network code,
// report and waking hours, periodical report, SMS limit, logging,
// acknowledges, LCD, the account balance check and the days of the week of
// the three time plans.
#pragma once

#include "image/settings_image.h"

#include <array>
#include <string>
#include <string_view>

namespace telvor {

// The SMS centre numbers the operator buttons fill in.
struct SmsCentre {
    std::string_view operatorName;
    std::string_view number;
};

inline constexpr std::array kSmsCentres{
    SmsCentre{"T-Mobile", "+48602951111"},
    SmsCentre{"Orange", "+48501200777"},
    SmsCentre{"Plus", "+48601000310"},
    SmsCentre{"Play", "+48790998250"},
};

inline constexpr int kPinWidth = 8;
inline constexpr int kNumberWidth = 16;
// Six characters in URL2, the seventh and eighth in bytes of their own.
inline constexpr int kBalanceCheckCodeLength = 8;

// The account balance check code as the edit box shows it: URL2's text,
// then its seventh and eighth characters while they hold one (neither 0x00
// nor 0xFF; an eighth only after a seventh).
std::string balanceCheckCodeOf(const SettingsImage& image);
// The first six characters into URL2, the seventh and eighth into their own
// bytes, which hold 0x00 when the code is shorter.
void storeBalanceCheckCode(std::string_view code, SettingsImage& image);

// A network code as COPS stores it: 0xFFFF means "not set", so 65535 is
// stored as 0, automatic choice.
std::uint16_t storedNetworkCode(int networkCode);

// Day boxes of one time plan: Monday to Sunday, then the day off ("D-o").
using DayRow = std::array<int, 8>;

struct BasicSettings {
    std::array<std::string, 10> numbers; // Num 1 to Num 10
    std::string pin;
    int periodicalReport = 0;
    std::string smsc;
    int reportPeriodMinutes = 0;
    int pinActive = 0;
    std::string reportHours;
    int reportOnlyInAlarmState = 0;
    int smsLimitActive = 0;
    int smsPerDay = 0;
    std::string wakingHours;
    int loggingPeriodMinutes = 0;
    int acknowledges = 0;
    int lcdSupport = 0;
    int loggingOnlyInWakingHours = 0;
    std::string balanceCheckCode;
    int balanceCheckHour = 0;
    int loggingFasterInAlarmState = 0;
    int networkCode = 0;
    // Rows under the report hours, the waking hours and the periodical report.
    std::array<DayRow, 3> days{};
    int reportAfterC1Change = 0;

    // Also turns a network code of 0xFFFF in the image into 0 there.
    void unpack(SettingsImage& image);
    void pack(SettingsImage& image) const;
};

} // namespace telvor
