#include "link/elapsed_timer.h"

namespace telvor {

void ElapsedTimer::restart()
{
    m_start = std::chrono::steady_clock::now();
}

std::uint64_t ElapsedTimer::elapsedMs() const
{
    const auto elapsed = std::chrono::steady_clock::now() - m_start;
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

} // namespace telvor
