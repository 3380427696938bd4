// Waiting on a descriptor without blocking the caller's window for long: the
// wait is cut into slices, and between them the keep-alive hook runs (the
// window repaints there), at least once per slice length.
#pragma once

#include "link/timing.h"

#include <chrono>
#include <functional>
#include <poll.h>
#include <span>

namespace telvor {

class SlicedWait {
public:
    SlicedWait(Milliseconds slice, const std::function<void()>& keepAlive);

    // Waits until `descriptor` reports one of `events` or `limit` has passed.
    // Returns the events reported (POLLERR when poll itself failed), 0 when
    // the time ran out.
    short waitFor(int descriptor, short events, Milliseconds limit);
    // The same for several descriptors at once: sets the events each
    // reports and returns how many report any, 0 when the time ran out,
    // -1 when poll itself failed.
    int waitForAny(std::span<pollfd> watched, Milliseconds limit);
    // Waits for `limit` with nothing to watch.
    void pause(Milliseconds limit);

private:
    using Clock = std::chrono::steady_clock;
    int pollUntil(std::span<pollfd> watched, Clock::time_point deadline);
    void keepAliveIfDue();

    Milliseconds m_slice;
    const std::function<void()>& m_keepAlive;
    Clock::time_point m_lastKeepAlive = Clock::now();
};

} // namespace telvor
