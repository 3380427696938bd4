// telvorctl fleet: every device of a plan written as write writes one, up to
// --jobs at once, with a receipt for each; Ctrl-C stops starting devices,
// a second one ends those under way.
#pragma once

#include "invocation.h"

#include <string>

namespace telvor {

int runFleet(const Invocation& invocation);

// Where the receipts of a plan go unless --receipts names a file: beside
// the plan, its name with ".receipts.jsonl" for its extension.
std::string defaultReceiptsFile(const std::string& plan);

} // namespace telvor
