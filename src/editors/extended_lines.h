// The values of the extended lines editor ("Configuration of the extended
// lines"): the support switches for the expansion module and the energy
// meter, the alarm edges, SMS recipients and notification body of the lines
// XL1 to XL16 and of the "Communication control" row, the e-mail
// recipients, and the sensor type and thresholds shared by each group of
// eight lines. Filled from the settings image when the dialog opens and
// written back on OK.
#pragma once

#include "image/settings_image.h"

#include <array>
#include <cstdint>
#include <string>

namespace telvor {

inline constexpr int kExtendedLineCount = 16;
inline constexpr int kLinesPerGroup = 8;
inline constexpr int kLineGroupCount = 2;
inline constexpr int kLineSmsCount = 5;
inline constexpr int kEmailAddressCount = 5;
// A notification body is cut to this many characters on OK; the edit box
// itself takes any length.
inline constexpr int kLineBodyWidth = 40;

// The sensor type boxes of a group of lines.
enum class LineSensor { Temperature /* "T/D" */, Humidity /* "RH" */ };

// Check-box members hold 0 or 1.
struct ExtendedLine {
    int highToLow = 0;                    // "HL": alarm below the group's lower threshold
    int lowToHigh = 0;                    // "LH": alarm above the group's upper threshold
    std::array<int, kLineSmsCount> sms{}; // telephone numbers 1 to 5
    std::string body;
};

struct CommunicationControl {
    std::array<int, kLineSmsCount> sms{};
    std::string body;
};

struct LineGroup {
    int temperature = 0; // "T/D"
    int humidity = 0;    // "RH"
    std::string lowThreshold;
    std::string highThreshold;
    // How the threshold texts are written and read between type clicks;
    // the stored code at opening, even one the editor does not know.
    int typeCode = 0;
    // The thresholds last read or shown: what a threshold box holding no
    // number stands for.
    std::uint16_t lowRaw = 0;
    std::uint16_t highRaw = 0;
};

struct ExtendedLines {
    int expansionModule = 0;                            // MCFG2 bit 0
    int energyCounter = 0;                              // MCFG2 bit 5
    std::array<ExtendedLine, kExtendedLineCount> lines; // XL1 to XL16
    CommunicationControl communicationControl;
    std::array<int, kEmailAddressCount> email{};
    std::array<LineGroup, kLineGroupCount> groups; // XL1...XL8, XL9...XL16

    void unpack(const SettingsImage& image);
    void pack(SettingsImage& image) const;

    // The click on a type box of group `group` (0 or 1) once the controls
    // have been read, so that the box already holds its new state: the
    // group's other box is cleared and its thresholds are shown again in
    // the unit of the new type, with the same raw values.
    void typeBoxClicked(int group, LineSensor box);
};

} // namespace telvor
