// The exit statuses that scripts rely on.
#pragma once

namespace telvor {

inline constexpr int kExitSuccess = 0;
// A device operation failed, or diff or check found differences.
inline constexpr int kExitFailure = 1;
// Wrong usage, or a settings file or the history that cannot be opened or
// written.
inline constexpr int kExitUsage = 2;
// check: the device's settings could not be read.
inline constexpr int kExitUnreadable = 3;

} // namespace telvor
