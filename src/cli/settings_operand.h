// A settings file named on the command line, read as "Read from file" reads:
// a .tvr image, or a settings document (.yaml, .yml) applied onto the
// factory defaults; and written the same way.
#pragma once

#include "document/document_file.h"
#include "image/settings_image.h"

#include <string>

namespace telvor {

// False after a file that cannot be opened or read, or a document with
// errors; the messages naming the file and every error are then printed.
bool readSettingsOperand(const std::string& path, SettingsImage& image);

// Writes the image as a settings document when the name ends in .yaml or
// .yml, else as a settings file; false, with the message printed, when the
// file cannot be written.
bool writeSettingsOperand(const std::string& path, const SettingsImage& image);

// Prints the outcome of a file that could not be read or written, naming it.
void printFileFailure(const std::string& path, const std::string& status, const std::string& reason);

// Prints every error of a document read from `path`, or why the file could
// not be read; true when it was read without error.
bool reportDocumentFile(const std::string& path, const DocumentFileResult& result);

} // namespace telvor
