// When a group of lines is written, read or verified: the firmware version
// and, for some groups, settings of the working image decide.
#pragma once

#include "image/firmware_version.h"
#include "image/settings_image.h"

namespace telvor {

enum class GroupCondition {
    Always,
    From17,
    From19,
    From20,
    From20Extended,
    From22,
    From25,
    From25ExtendedLines, // and MCFG2 bit 0 set: the extended lines are in use
    From28ExtendedLines,
    From26,
    From27,
    From27Http, // and THTP neither 0 nor 255
    From36,
    ApnGroup,          // 2.0 with the letter E, or 2.7
    EadGroup,          // the APN group, and the letter E
    OperatorSelection, // 2.9, or 2.8 of model D or later
};

bool holds(GroupCondition condition, const FirmwareVersion& version, const SettingsImage& working);

} // namespace telvor
