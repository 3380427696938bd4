// The lines with which a device answers for one key of its vocabulary, made
// from a settings image. telvorctl show prints them and the virtual device
// sends them; the settings text parser reads them back into the same fields.
#pragma once

#include "settings_image.h"

#include <string>
#include <string_view>
#include <vector>

namespace telvor {

// `key` as the device writes it without "=": "PIN", "NUM10", "ICFGx", "SMS"
// (ten lines SMS0= to SMS9=), "APN", "EAD", "XMS". The lines carry no line
// terminator. The further values of RCFG, CLIP and CTRL and the balance check
// code's characters 7 and 8 appear only from the versions that carry them.
// An unknown key gives no lines.
std::vector<std::string> answerLines(std::string_view key, const SettingsImage& image, int versionNumber = 0x36);

} // namespace telvor
