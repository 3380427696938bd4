// How the verification after a write compares the working image with what
// the device reported. The verification stops at its first differences and
// rewrites; a check of a device against a file lists every difference by the
// same rules.
#pragma once

#include "verification_tables.h"

#include "image/firmware_version.h"
#include "image/settings_image.h"

#include <string_view>
#include <vector>

namespace telvor {

// The field element a comparison names; throws when the tables name a field
// the image does not have.
Slot comparedSlot(std::string_view key, int index, int part);

// 0 when the device holds the working value. A text matches when the
// device's text begins with the working one; otherwise the result is the
// position of the first differing character, counted from 1.
int firstDifference(const Slot& field, const SettingsImage& working, const SettingsImage& device);

// Whether a row whose condition holds is compared at all: a character of the
// balance check code beyond URL2's six only when the write sent it and the
// six came back right.
bool isCompared(const CompareRow& row, const SettingsImage& working, const SettingsImage& device,
                const FirmwareVersion& version);

// Every field element that the verification of `working` on a device of
// `version` compares and finds different in `device`, in the verification's
// order, each once.
std::vector<Slot> verificationDifferences(const SettingsImage& working, const SettingsImage& device,
                                          const FirmwareVersion& version);

} // namespace telvor
