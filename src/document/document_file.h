// Settings documents as files: which names are documents, and reading and
// writing them with the checks and status texts of settings files.
#pragma once

#include "settings_document.h"

#include "image/settings_file.h"

#include <string>
#include <string_view>
#include <vector>

namespace telvor {

// A name that ends in ".yaml" or ".yml", in any case.
bool isDocumentName(std::string_view path);

// No document of a whole image comes near this size.
inline constexpr std::size_t kDocumentSizeLimit = 1 << 20;

struct DocumentFileResult {
    // As for a settings file: "Configuration loaded from:" and the name, or
    // "File open error!" with the reason when the file cannot be read or the
    // document has errors.
    SettingsFileResult file;
    std::vector<DocumentError> errors;
};

// Reads the document and applies it onto the image; the image changes only
// when the file reads and the document has no error.
DocumentFileResult applyDocumentFile(const std::string& path, SettingsImage& image);

// A document read as a settings file is: applied onto the factory defaults,
// which then replace the whole image. The image is unchanged on failure.
DocumentFileResult readDocumentFile(const std::string& path, SettingsImage& image);

// A settings file whichever its kind, as telvorctl reads one: a document
// when its name says so (read as readDocumentFile() reads it), else a
// settings file. The image is unchanged on failure.
DocumentFileResult readSettingsOrDocument(const std::string& path, SettingsImage& image);

// The image's export, written as atomically as a settings file.
SettingsFileResult writeDocumentFile(const std::string& path, const SettingsImage& image);

// A document when the name says so (as writeDocumentFile() writes it), else
// a settings file.
SettingsFileResult writeSettingsOrDocument(const std::string& path, const SettingsImage& image);

} // namespace telvor
