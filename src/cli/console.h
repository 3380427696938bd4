// telvorctl's console: messages on standard error, results on standard
// output, texts converted from the device's Windows-1250 to the terminal's
// encoding.
#pragma once

#include <string>
#include <string_view>

namespace telvor {

// "telvorctl: " and the message, on standard error.
void printError(std::string_view message);
// "telvorctl: note: " and the detail, on standard error.
void printNote(std::string_view detail);
// The line and a newline, on standard output, as given.
void printLine(std::string_view line);

// Windows-1250 bytes as the terminal's encoding shows them.
std::string terminalText(std::string_view windows1250);

} // namespace telvor
