#pragma once

#include "invocation.h"

#include "image/settings_fields.h"
#include "image/settings_image.h"

#include <string>

namespace telvor {

// "KEY: A -> B", the element's values in the two images as the terminal
// shows them.
std::string differenceLine(const Slot& element, const SettingsImage& a, const SettingsImage& b);

// telvorctl diff A.tvr B.tvr: every field element whose value differs as
// "KEY: A -> B", every differing reserved byte as "reserved OFFSET: 0xAA ->
// 0xBB", in the order of the image.
int runDiff(const Invocation& invocation);

} // namespace telvor
