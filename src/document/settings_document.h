// Settings documents: the settings image as YAML that a person can read,
// review and keep in version control, and that applies back onto an image
// exactly. Paths, kinds and ranges: docs/settings-document.md.
#pragma once

#include "document_value.h"

#include "image/settings_image.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace telvor {

inline constexpr std::string_view kDocumentFormat = "telvor-settings 1";

// One error of a document or of a set argument.
struct DocumentError {
    Position where;     // 0 and 0 where the error has no place in a document
    std::string path;   // the setting's path as written; empty for an error of the YAML itself
    std::string reason; // the editors' texts where they have one
};

// "SOURCE:LINE:COLUMN: PATH: REASON", or "SOURCE: PATH: REASON" for an
// error without a place.
std::string errorLine(std::string_view source, const DocumentError& error);

// The whole document: "format: telvor-settings 1", then every setting of
// every editor. Applied onto the same image it changes no byte; applied
// onto any other image, that image's export is this document.
std::string exportDocument(const SettingsImage& image);

// Applies the settings the document names, in the order of the settings
// table (an input's type before its thresholds), and nothing else. With any
// error the image is left exactly as it was and every error is listed, in
// the order of their places in the document.
std::vector<DocumentError> applyDocument(std::string_view document, SettingsImage& image);

// One-line changes, "PATH=VALUE" each, split at the first '='. VALUE is a
// YAML flow value read for that setting's kind; for a text, VALUE is the
// text as written unless it begins with a quote, which makes it a YAML
// quoted scalar. Together they act as one document: all or nothing.
std::vector<DocumentError> applyAssignments(std::span<const std::string> assignments, SettingsImage& image);

// The paths of the settings whose values differ, in the document's order:
// texts as the editors show them, everything else by its stored bits.
std::vector<std::string> differingSettings(const SettingsImage& a, const SettingsImage& b);
int countDifferingSettings(const SettingsImage& a, const SettingsImage& b);

} // namespace telvor
