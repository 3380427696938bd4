// The exit statuses that scripts rely on.
#pragma once

namespace telvor {

inline constexpr int kExitSuccess = 0;
// A device operation failed, or diff found differences.
inline constexpr int kExitFailure = 1;
// Wrong usage, or a settings file that cannot be opened or written.
inline constexpr int kExitUsage = 2;

} // namespace telvor
