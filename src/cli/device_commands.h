// telvorctl's device commands: version, read, write, check and restore, run
// by the same operations as the window's buttons, with the console as status
// surface, each recorded in the history.
#pragma once

#include "invocation.h"

namespace telvor {

int runVersion(const Invocation& invocation);
int runRead(const Invocation& invocation);
int runWrite(const Invocation& invocation);
int runCheck(const Invocation& invocation);
int runRestore(const Invocation& invocation);

} // namespace telvor
