// Which answer keys a device of a given firmware version has. A device
// reports a key only from the version on that introduced its setting.
#pragma once

#include "image/firmware_version.h"

#include <string_view>

namespace telvor {

// `answerKey` is the key of one answer line, as it stands before "=":
// "PIN", "NUM7", "ICFGx", "APN4", "XMS12", "URL2". A key the device never
// reports gives false.
bool deviceHasKey(std::string_view answerKey, const FirmwareVersion& version);

} // namespace telvor
