#include "group_condition.h"

namespace telvor {

namespace {

bool extendedLinesInUse(const FirmwareVersion& version, const SettingsImage& working)
{
    return version.atLeast(0x25) && (working.u8(slot("MCFG2")) & 0x01) != 0;
}

} // namespace

bool holds(GroupCondition condition, const FirmwareVersion& version, const SettingsImage& working)
{
    using enum GroupCondition;
    switch (condition) {
    case Always:
        return true;
    case From17:
        return version.atLeast(0x17);
    case From19:
        return version.atLeast(0x19);
    case From20:
        return version.atLeast(0x20);
    case From20Extended:
        return version.atLeast(0x20) && version.extended;
    case From22:
        return version.atLeast(0x22);
    case From25:
        return version.atLeast(0x25);
    case From25ExtendedLines:
        return extendedLinesInUse(version, working);
    case From28ExtendedLines:
        return extendedLinesInUse(version, working) && version.atLeast(0x28);
    case From26:
        return version.atLeast(0x26);
    case From27:
        return version.atLeast(0x27);
    case From27Http: {
        const int http = working.u8(slot("THTP"));
        return version.atLeast(0x27) && http != 0 && http != 255;
    }
    case From36:
        return version.atLeast(0x36);
    case ApnGroup:
        return (version.atLeast(0x20) && version.extended) || version.atLeast(0x27);
    case EadGroup:
        return holds(ApnGroup, version, working) && version.extended;
    case OperatorSelection:
        return version.atLeast(0x29) || (version.versionNumber == 0x28 && version.modelLetter >= 'D');
    }
    return false;
}

} // namespace telvor
