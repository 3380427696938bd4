// telvorctl's device commands: version, read and write, run by the same
// operations as the window's buttons, with the console as status surface.
#pragma once

#include "invocation.h"

namespace telvor {

int runVersion(const Invocation& invocation);
int runRead(const Invocation& invocation);
int runWrite(const Invocation& invocation);

} // namespace telvor
