#pragma once

#include "invocation.h"

namespace telvor {

// telvorctl show FILE.tvr: the file as the device's KEY=value answer lines,
// one key per line in the parser's key order.
int runShow(const Invocation& invocation);

} // namespace telvor
