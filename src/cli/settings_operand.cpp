#include "settings_operand.h"

#include "console.h"

namespace telvor {

void printFileFailure(const std::string& path, const std::string& status, const std::string& reason)
{
    printError(status + " " + path + ": " + reason);
}

bool reportDocumentFile(const std::string& path, const DocumentFileResult& result)
{
    for (const DocumentError& error : result.errors)
        printError(errorLine(path, error));
    if (!result.file.ok && result.errors.empty())
        printFileFailure(path, result.file.status, result.file.reason);
    return result.file.ok;
}

bool readSettingsOperand(const std::string& path, SettingsImage& image)
{
    return reportDocumentFile(path, readSettingsOrDocument(path, image));
}

bool writeSettingsOperand(const std::string& path, const SettingsImage& image)
{
    const SettingsFileResult result = writeSettingsOrDocument(path, image);
    if (!result.ok)
        printFileFailure(path, result.status, result.reason);
    return result.ok;
}

} // namespace telvor
