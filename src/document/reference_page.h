// The reference page of settings documents (docs/settings-document.md),
// made from the settings table, so that the page and the program cannot
// disagree; a test fails when the committed page is out of date.
#pragma once

#include <string>

namespace telvor {

std::string referencePage();

} // namespace telvor
