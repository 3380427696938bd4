// The variable codes a message body may hold: the device replaces each
// @-word with a reading or a state when it sends the message. Shown to the
// user as help beside the message bodies.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace telvor {

inline constexpr std::size_t kVariableCodeLineCount = 89;

extern const std::array<std::string_view, kVariableCodeLineCount> kVariableCodeLines;

// The help text: every line ended by CR LF.
std::string variableCodesText();

} // namespace telvor
