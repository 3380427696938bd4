// The outputs editor's values: the modes of the outputs O1 to O6, the alarm
// signalling time and the buzzer.
#pragma once

#include "image/settings_image.h"

#include <array>

namespace telvor {

inline constexpr int kOutputCount = 6;
inline constexpr int kMinSignallingTime = 0;
inline constexpr int kMaxSignallingTime = 255;

// The three automatic functions of a thermostat output; only one of them
// may drive the output at a time.
enum class ThermostatMode { LowSignalling, Heating, Cooling };

// O1, O3 and O5: the low-state signalling of L1, L2 or L5, or a thermostat
// coupled to that input. Each member is a check box (0 or 1).
struct ThermostatOutput {
    int lowSignalling = 0;
    int heating = 0;
    int cooling = 0;

    int& mode(ThermostatMode which);
};

struct Outputs {
    std::array<int, kOutputCount> permanent{};     // O1 to O6
    std::array<ThermostatOutput, 3> thermostats{}; // O1 (input L1), O3 (L2), O5 (L5)
    std::array<int, 3> highSignalling{};           // O2 (input L1), O4 (L2), O6 (L5)
    int wakingHoursOnO4 = 0;
    int alarmStateOnO6 = 0;
    // Seconds; 0 and 255 signal without end.
    int signallingTime = 0;
    int buzzer = 0;
    // This editor records for itself how its window was closed (1 for OK)
    // and stores nothing otherwise. Opening clears it.
    int closedWithOk = 0;

    void unpack(const SettingsImage& image);
    // Rebuilds the six output bytes from 0, one mode at most in each;
    // MCFG2 keeps every bit but the buzzer's.
    void pack(SettingsImage& image) const;

    // A click on a mode box of a thermostat output: a mode that is now
    // checked unchecks the other two. Unchecking changes nothing else.
    void modeClicked(int thermostat, ThermostatMode clicked);
};

} // namespace telvor
