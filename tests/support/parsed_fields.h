// Shared by the parser tests: field elements named as diff names them
// ("ICFG3", "RCFG.2", "URL2.7") and the list of every parsed element.
#pragma once

#include "image/answer_keys.h"
#include "image/settings_image.h"

#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace telvor {

Slot namedSlot(std::string_view name);

// Every element that some key of the answer vocabulary fills, each once;
// the hour sets as their bytes 0 to 2.
std::vector<Slot> parsedSlots();

// Random bytes everywhere, with printable ASCII texts without CR and a balance
// check code whose characters 7 and 8 stand only after a full six: the
// images whose answer lines read back to the same fields.
SettingsImage randomParsableImage(std::mt19937& random);

} // namespace telvor
