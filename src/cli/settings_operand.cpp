#include "settings_operand.h"

#include "console.h"
#include "image/settings_file.h"

namespace telvor {

namespace {

constexpr std::string_view kDocumentExtension = ".yaml";

} // namespace

bool readSettingsOperand(const std::string& path, SettingsImage& image)
{
    const SettingsFileResult result = readSettingsFile(path, image);
    if (!result.ok)
        printError(result.status + " " + path + ": " + result.reason);
    return result.ok;
}

bool writeSettingsOperand(const std::string& path, const SettingsImage& image)
{
    if (path.ends_with(kDocumentExtension)) {
        printError(path + ": settings documents (" + std::string(kDocumentExtension)
                   + ") cannot be written by this telvorctl; name a .tvr file");
        return false;
    }
    const SettingsFileResult result = writeSettingsFile(path, image);
    if (!result.ok)
        printError(result.status + " " + path + ": " + result.reason);
    return result.ok;
}

} // namespace telvor
