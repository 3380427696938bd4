#include "settings_operand.h"

#include "console.h"
#include "image/settings_file.h"

namespace telvor {

bool readSettingsOperand(const std::string& path, SettingsImage& image)
{
    const SettingsFileResult result = readSettingsFile(path, image);
    if (!result.ok)
        printError(result.status + " " + path + ": " + result.reason);
    return result.ok;
}

} // namespace telvor
