#include "document_file.h"

#include "factory_defaults.h"

#include <algorithm>
#include <cctype>

namespace telvor {
namespace {

bool endsWithIgnoringCase(std::string_view text, std::string_view ending)
{
    return text.size() >= ending.size()
        && std::equal(ending.begin(), ending.end(), text.end() - static_cast<std::ptrdiff_t>(ending.size()),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(b)) == a; });
}

} // namespace

bool isDocumentName(std::string_view path)
{
    return endsWithIgnoringCase(path, ".yaml") || endsWithIgnoringCase(path, ".yml");
}

DocumentFileResult applyDocumentFile(const std::string& path, SettingsImage& image)
{
    DocumentFileResult result;
    std::string document;
    result.file = readSettingsContent(path, document, kDocumentSizeLimit);
    if (!result.file.ok)
        return result;
    result.errors = applyDocument(document, image);
    if (!result.errors.empty())
        result.file = {false, std::string(kFileOpenError), "the document has errors"};
    return result;
}

DocumentFileResult readDocumentFile(const std::string& path, SettingsImage& image)
{
    SettingsImage read = factoryDefaults();
    DocumentFileResult result = applyDocumentFile(path, read);
    if (result.file.ok)
        image = read;
    return result;
}

DocumentFileResult readSettingsOrDocument(const std::string& path, SettingsImage& image)
{
    if (isDocumentName(path))
        return readDocumentFile(path, image);
    DocumentFileResult result;
    result.file = readSettingsFile(path, image);
    return result;
}

SettingsFileResult writeDocumentFile(const std::string& path, const SettingsImage& image)
{
    return writeSettingsContent(path, exportDocument(image));
}

SettingsFileResult writeSettingsOrDocument(const std::string& path, const SettingsImage& image)
{
    return isDocumentName(path) ? writeDocumentFile(path, image) : writeSettingsFile(path, image);
}

} // namespace telvor
