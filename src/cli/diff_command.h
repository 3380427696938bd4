#pragma once

#include "invocation.h"

namespace telvor {

// telvorctl diff A.tvr B.tvr: every field element whose value differs as
// "KEY: A -> B", every differing reserved byte as "reserved OFFSET: 0xAA ->
// 0xBB", in the order of the image.
int runDiff(const Invocation& invocation);

} // namespace telvor
