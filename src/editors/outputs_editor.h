// The modes of the six outputs O1 to O6, the alarm signalling time and the
// buzzer, as the "Outputs (O1...O6)" editor shows them.
#pragma once

#include "image/settings_image.h"

#include <array>

namespace telvor {

// The three automatic functions that a thermostat output can carry; only one
// of them may drive the output at a time.
enum class ThermostatMode { LowSignalling, Heating, Cooling };

// O1, O3 and O5: the low-state signalling of L1, L2 or L5, or a thermostat
// coupled to that input.
struct ThermostatOutput {
    bool lowSignalling = false;
    bool heating = false;
    bool cooling = false;

    bool& mode(ThermostatMode which);
};

struct OutputsEditor {
    static constexpr int kOutputs = 6;
    static constexpr int kMinSignallingTime = 0;
    static constexpr int kMaxSignallingTime = 255;

    std::array<bool, kOutputs> permanent{};
    // O1 (input L1), O3 (L2), O5 (L5).
    std::array<ThermostatOutput, 3> thermostats{};
    // O2 (input L1), O4 (L2), O6 (L5).
    std::array<bool, 3> highSignalling{};
    bool wakingHoursOnO4 = false;
    bool alarmStateOnO6 = false;
    // Seconds; 0 and 255 signal without end.
    int signallingTime = 0;
    bool buzzer = false;
    // This editor records for itself how its dialog was closed and stores
    // nothing unless that was OK.
    bool closedWithOk = false;

    void unpack(const SettingsImage& image);
    void pack(SettingsImage& image) const;

    // A click on one of the three mode boxes of a thermostat output: a mode
    // that is now checked unchecks the other two. Unchecking changes nothing.
    void modeClicked(int thermostat, ThermostatMode clicked);
};

} // namespace telvor
