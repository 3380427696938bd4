// The values of the inputs editor ("Input settings"): for each of the
// inputs L1 to L8 its sensor type, thresholds, alarm edges, SMS recipients,
// notification options and alarm delay, plus the insensitivity of the two
// input groups and the alarm-state conditions. Filled from the settings
// image when the dialog opens and written back on OK.
#pragma once

#include "image/settings_image.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace telvor {

inline constexpr int kInputCount = 8;
inline constexpr int kTelephoneCount = 10;

// The type boxes of an input row, in the dialog's order.
enum class InputType { T, D, RH, S, TR, RR, PT };
inline constexpr int kInputTypeCount = 7;
inline constexpr std::array kInputTypes
    = {InputType::T, InputType::D, InputType::RH, InputType::S, InputType::TR, InputType::RR, InputType::PT};

// "T", "RH", ...
std::string_view inputTypeCaption(InputType type);

// TR exists on the odd inputs, RR on the even ones, PT on L1 to L6; the
// other boxes on every input. `input` is 1 to 8.
bool inputHasTypeBox(int input, InputType type);

// The unit code an input takes while the box is checked (inputThresholdUnit
// reads it); 0 when no box is checked.
int unitCodeOfType(InputType type);

// What a checked type box stores: ICFGn bit 7 (a sensor is attached) and
// the sensor kind code in SCFGn bits 0 to 2.
struct InputTypeBits {
    bool sensor;
    std::uint8_t kind;
};
InputTypeBits inputTypeBits(InputType type);

// The unit code an input's thresholds are shown in when the editor opens,
// from its ICFGn and SCFGn bytes. Every sensor kind reads as humidity or
// degrees, even one the row has no box for; without the sensor bit only S
// has a unit of its own.
int inputUnitCode(std::uint8_t inputFlags, std::uint8_t sensorFlags);

// Check-box members hold 0 or 1.
struct InputRow {
    std::array<int, kInputTypeCount> types{}; // by InputType; only the row's own boxes
    int highToLow = 0;                        // "HL": alarm below the L threshold
    int lowToHigh = 0;                        // "LH": alarm above the H threshold
    std::string lowThreshold;
    std::string highThreshold;
    std::array<int, kTelephoneCount> sms{}; // telephone numbers 1 to 10
    int ring = 0;                           // "R"
    int notifyReturn = 0;                   // "N"
    int wakingHoursOnly = 0;                // "C"
    int limitFrequency = 0;                 // "F"
    std::string delay;
    // How the threshold texts are written and read. It follows the type box
    // clicks rather than the boxes' state, which an image can contradict
    // (a sensor kind code without a box on this row).
    int unitCode = 0;
    // The thresholds last read or shown: what a threshold box holding no
    // number stands for.
    std::uint16_t lowRaw = 0;
    std::uint16_t highRaw = 0;

    int& type(InputType box) { return types[static_cast<int>(box)]; }
    int type(InputType box) const { return types[static_cast<int>(box)]; }
};

struct InputSettings {
    std::array<InputRow, kInputCount> inputs; // L1 to L8
    int insensitivityL1toL4 = 0;              // mV, 0 to 255
    int insensitivityL5toL8 = 0;
    std::array<int, kInputCount> lowStateAlarm{}; // "LOW state", L1 to L8
    std::array<int, kInputCount> highStateAlarm{};

    void unpack(const SettingsImage& image);
    // Expects the insensitivities already validated to 0 to 255.
    void pack(SettingsImage& image) const;

    // The click on a type box of input `input` (1 to 8) once the controls
    // have been read, so that the box already holds its new state: the
    // row's other type boxes are cleared and its thresholds are shown again
    // in the unit of the new type, with the same raw values.
    void typeBoxClicked(int input, InputType box);
};

} // namespace telvor
