// Settings images for the conversations with the virtual device: every
// value is one that the device's answers carry back unchanged.
#pragma once

#include "image/settings_image.h"

namespace telvor {

// Something in every group, extended lines and HTTP switched on.
SettingsImage everyGroupImage();

// A working image that differs from everyGroupImage in every group.
SettingsImage otherImage();

} // namespace telvor
