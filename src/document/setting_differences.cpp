// Which settings two images hold differently, for comparing a device's
// settings with the ones meant for it.
#include "setting_table.h"
#include "setting_value.h"
#include "settings_document.h"

namespace telvor {
namespace {

bool sameSetting(const SettingsImage& a, const SettingsImage& b, const Setting& setting)
{
    // A threshold with the same raw value is the same setting even when the
    // two images show it in different units.
    if (holdsText(setting.kind()))
        return shownValue(a, setting) == shownValue(b, setting);
    return settingBits(a, setting) == settingBits(b, setting);
}

} // namespace

std::vector<std::string> differingSettings(const SettingsImage& a, const SettingsImage& b)
{
    std::vector<std::string> paths;
    for (const Setting& setting : settings())
        if (!sameSetting(a, b, setting))
            paths.push_back(setting.path);
    return paths;
}

int countDifferingSettings(const SettingsImage& a, const SettingsImage& b)
{
    return static_cast<int>(differingSettings(a, b).size());
}

} // namespace telvor
