// The times of the history: milliseconds since 1970-01-01 UTC, shown in UTC
// for programs and in local time for people.
#pragma once

#include <cstdint>
#include <string>

namespace telvor {

std::int64_t currentTimeMs();

// "2026-05-06T07:05:09.123Z".
std::string isoUtcText(std::int64_t ms);

// "2026-05-06 09:05:09" in the local time zone.
std::string localTimeText(std::int64_t ms);

} // namespace telvor
