// The device stores texts as Windows-1250 bytes; the window and telvorctl
// hold Unicode. These are the only conversions between the two.
#pragma once

#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace telvor {

// Every byte becomes one character; the five bytes Windows-1250 leaves
// unassigned come back as the control characters of the same number, so
// they survive a round trip unchanged.
QString decodeWindows1250(std::string_view bytes);

// The text as Windows-1250 bytes, or nothing when a character has no byte
// there; `refused` then holds the first such character.
std::optional<std::string> encodeWindows1250(const QString& text, QString* refused = nullptr);

} // namespace telvor
