// Alarm thresholds as the inputs and extended lines editors show them. The
// device stores a threshold as a raw 16-bit number whose meaning depends on
// the sensor attached; the editors show it in that sensor's unit and read
// the typed text back into a raw number.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace telvor {

enum class ThresholdUnit {
    Millivolts, // "1500 mV"; a typed fraction above one half rounds up below 4092 mV
    Percent,    // relative humidity, raw 1000 + 20 x %: "50 %"
    Degrees,    // tenths of a kelvin, raw 10 x (degC + 273.2): "25.0 'C"
    Plain,      // the raw number itself (scaled measurement): "1500"
    // A sensor code the editor does not know: shown in millivolts, but a
    // typed fraction is only cut off.
    UnknownMillivolts,
};

// The inputs editor's unit codes: 0 plain voltage, 1 and 5 humidity (RH,
// RR), 2, 4 and 6 temperature (T or D, TR, PT), 3 scaled measurement (S).
ThresholdUnit inputThresholdUnit(int unitCode);

// The extended lines' type codes: only 1 is humidity and only 2 is
// temperature; 0 is millivolts, 3 a plain number, any other code unknown.
ThresholdUnit extendedLineThresholdUnit(int typeCode);

// Humidity is clamped to 0 to 100 % for the display; temperatures are not
// clamped (raw 0 shows -273.2 'C).
std::string thresholdToText(std::uint16_t raw, ThresholdUnit unit);

// Reads the number at the start of the text (a decimal comma counts as a
// point; a unit suffix after it is ignored) in single precision, which
// decides the stored value: 21,5 'C gives 2947 and 1234.6 mV gives 1235. Humidity is clamped to 0 to 100 % before the conversion, the raw
// result to 0 to 65535. A text that does not begin with a number (an empty
// box, a stray letter) leaves the threshold at `previous`.
std::uint16_t textToThreshold(std::string_view text, ThresholdUnit unit, std::uint16_t previous);

} // namespace telvor
