// Results for scripts: one JSON document on standard output, texts in UTF-8.
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

namespace telvor {

void printJson(const nlohmann::json& document);

// Windows-1250 bytes of the device as UTF-8.
std::string utf8Text(std::string_view windows1250);

} // namespace telvor
