// telvorctl history: the device operations recorded, one operation's
// details, its images as files, and the removal of old operations.
#pragma once

#include "invocation.h"

namespace telvor {

int runHistory(const Invocation& invocation);
int runHistoryShow(const Invocation& invocation);
int runHistoryExport(const Invocation& invocation);
int runHistoryPrune(const Invocation& invocation);

} // namespace telvor
