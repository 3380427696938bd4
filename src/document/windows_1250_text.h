// Texts of the settings image between their Windows-1250 bytes and the
// UTF-8 of a document, with ICU's converter, the one Qt's conversion uses,
// so that the window and documents agree byte for byte.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace telvor {

// Every byte becomes one character; the five bytes Windows-1250 leaves
// unassigned (0x81, 0x83, 0x88, 0x90, 0x98) become the control characters
// of the same number, so that they come back unchanged.
std::string utf8FromWindows1250(std::string_view bytes);

// Why a text has no Windows-1250 bytes.
struct Windows1250Refusal {
    // The first character Windows-1250 has no byte for, as UTF-8; empty
    // when the text is not UTF-8 at all.
    std::string character;
};

// The text's Windows-1250 bytes, one per character, or nothing when a
// character has no byte there or the text is not UTF-8.
std::optional<std::string> windows1250FromUtf8(std::string_view utf8, Windows1250Refusal* refusal = nullptr);

} // namespace telvor
