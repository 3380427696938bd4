// The configuration queries the virtual device answers, and which answer
// keys each one lists.
#pragma once

#include "image/firmware_version.h"
#include "image/settings_image.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace telvor {

// The KEY=value lines (without CR) with which the device answers `query`
// ("SET?", "SMS?", "APN?", "EAD?", "XCFG?", "ECFG?"), made from `image`;
// keys that `version` does not have are left out. Nothing when `query` is no
// configuration query.
std::optional<std::vector<std::string>> queryAnswerLines(std::string_view query, const SettingsImage& image,
                                                         const FirmwareVersion& version);

// The key of an answer line: the text before its first "=".
std::string_view answerKeyOf(std::string_view line);

} // namespace telvor
