#include "document_commands.h"

#include "console.h"
#include "exit_status.h"
#include "settings_operand.h"

#include "document/document_file.h"
#include "document/factory_defaults.h"
#include "document/settings_document.h"

#include <QString>

#include <cstdio>

namespace telvor {
namespace {

// A command-line argument in the locale's encoding as the UTF-8 a document
// holds.
std::string utf8Argument(const std::string& argument)
{
    return QString::fromLocal8Bit(argument.data(), static_cast<qsizetype>(argument.size())).toStdString();
}

} // namespace

int runExport(const Invocation& invocation)
{
    // A document under another name would later be read as a settings image.
    if (invocation.outputFile && !isDocumentName(*invocation.outputFile)) {
        printError("export: " + *invocation.outputFile + " does not end in .yaml or .yml, as a settings document does");
        return kExitUsage;
    }
    SettingsImage image;
    if (!readSettingsOperand(invocation.operands.at(0), image))
        return kExitUsage;
    const std::string document = exportDocument(image);
    if (!invocation.outputFile) {
        std::fwrite(document.data(), 1, document.size(), stdout);
        return kExitSuccess;
    }
    const SettingsFileResult written = writeSettingsContent(*invocation.outputFile, document);
    if (!written.ok) {
        printFileFailure(*invocation.outputFile, written.status, written.reason);
        return kExitUsage;
    }
    return kExitSuccess;
}

int runImport(const Invocation& invocation)
{
    if (!invocation.outputFile) {
        printError("import needs -o OUT, the settings file to write; see telvorctl import --help");
        return kExitUsage;
    }
    SettingsImage image = factoryDefaults();
    if (invocation.baseFile && !readSettingsOperand(*invocation.baseFile, image))
        return kExitUsage;
    // Every document is read, so that all their errors are told at once.
    bool applied = true;
    for (const std::string& path : invocation.operands)
        applied = reportDocumentFile(path, applyDocumentFile(path, image)) && applied;
    if (!applied)
        return kExitUsage;
    return writeSettingsOperand(*invocation.outputFile, image) ? kExitSuccess : kExitUsage;
}

int runSet(const Invocation& invocation)
{
    const std::string& file = invocation.operands.at(0);
    // Rewriting a document would replace its comments, and the settings it
    // leaves to other layers, by a whole export.
    if (!invocation.outputFile && isDocumentName(file)) {
        printError("set: " + file + " is a settings document; edit it, or give -o OUT for the result");
        return kExitUsage;
    }
    SettingsImage image;
    if (!readSettingsOperand(file, image))
        return kExitUsage;
    std::vector<std::string> assignments;
    for (auto argument = invocation.operands.begin() + 1; argument != invocation.operands.end(); ++argument)
        assignments.push_back(utf8Argument(*argument));
    const std::vector<DocumentError> errors = applyAssignments(assignments, image);
    for (const DocumentError& error : errors)
        printError(errorLine("set", error));
    if (!errors.empty())
        return kExitUsage;
    return writeSettingsOperand(invocation.outputFile.value_or(file), image) ? kExitSuccess : kExitUsage;
}

} // namespace telvor
