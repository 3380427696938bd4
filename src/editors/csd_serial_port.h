// The CSD serial port editor's values: the device's serial port behind the
// CSD modem connection, packed into the single byte SCFG.
#pragma once

#include "image/settings_image.h"

namespace telvor {

struct CsdSerialPort {
    // Each member is the index of the chosen radio button of its group.
    int interface = 0;     // RS-232, RS-485
    int stopBits = 0;      // 1-bit, 2-bit
    int characterSize = 0; // 8-bit, 7-bit
    int speed = 0;         // 1200, 2400, 4800, 9600, 14400, 19200
    int parity = 0;        // NONE, EVEN, ODD

    // Codes without a button (parity 3, speeds 6 and 7) open as the last
    // button of their group, and OK stores them so.
    void unpack(const SettingsImage& image);
    // Rewrites the whole byte.
    void pack(SettingsImage& image) const;
};

} // namespace telvor
