// A millisecond stopwatch on the monotonic clock: changes of the wall clock
// never stretch or cut a time limit.
#pragma once

#include <chrono>
#include <cstdint>

namespace telvor {

class ElapsedTimer {
public:
    void restart();
    // Whole milliseconds since the last restart (or since construction).
    std::uint64_t elapsedMs() const;

private:
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

} // namespace telvor
