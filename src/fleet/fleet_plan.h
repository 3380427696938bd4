// A fleet plan: a CSV file with a row per device, read, checked and turned
// into the image each device is to be given, all before any device is
// touched. Columns: `target` (tcp:HOST[:PORT], com:N or serial:PATH),
// `template` (a settings file or a settings document, relative to the
// plan's folder), `name` (a label, may be left out) and any number of
// settings by their document paths, whose non-empty cells are laid over the
// template as `telvorctl set` reads a value.
#pragma once

#include "image/settings_image.h"
#include "link/endpoint.h"

#include <string>
#include <vector>

namespace telvor {

struct PlannedDevice {
    // The row's line in the plan, from 1.
    int line = 0;
    // Where it is reached, and the target as the history names it.
    Endpoint endpoint;
    std::string target;
    std::string name;
    SettingsImage image;
    // The settings in which the image differs from its template.
    int differingSettings = 0;
};

struct CheckedPlan {
    // Empty unless every row was checked without an error.
    std::vector<PlannedDevice> devices;
    // One line each, "PLAN:LINE: COLUMN: REASON" (or "PLAN:LINE: REASON" for
    // a row as a whole, "PLAN: REASON" for the file), in the order of the
    // file; a settings document used as a template names its own errors as
    // "DOC:LINE:COLUMN: PATH: REASON" once, before the first row that uses it.
    std::vector<std::string> errors;
};

// `plan` is the file's name as given; `serialDeviceFormat` names the device
// of a port number, so that two rows on one port are found whichever way
// each names it.
CheckedPlan checkPlan(const std::string& plan, const std::string& serialDeviceFormat);

} // namespace telvor
