// How the virtual device takes the write lines of the configuration
// program: every KEY=value assignment of a line is stored in the field of
// that name.
#pragma once

#include "image/settings_image.h"

#include <string>
#include <string_view>
#include <vector>

namespace telvor {

// Applies every assignment of `line` (without its CR) to `image` and returns
// the keys it stored, in line order. Assignments are separated by one blank;
// several values of one key (RCFG, CLIP, CTRL, ALMD, RPTHR, GRDHR) by commas.
// Keys the device does not store (DEBUG, TIME) and values that are not
// numbers are passed over.
//
// A text may hold blanks, commas and equals signs. It ends only where the
// assignment that its write line puts after it begins (PIN before NUM0, NUM0
// before NUM1, ...); a text that ends its write line (message bodies, mail
// texts, NUM1) runs to the end of the line, so a body such as "Alarm TRPT=5"
// is stored whole and TRPT is left alone.
std::vector<std::string> applyWriteLine(std::string_view line, SettingsImage& image);

} // namespace telvor
