// Waiting on a descriptor without blocking the caller's window for long: the
// wait is cut into slices, and between them the keep-alive hook runs (the
// window repaints there), at least once per slice length, and a requested
// stop is noticed.
#pragma once

#include "link/timing.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <poll.h>
#include <span>

namespace telvor {

class DeviceLink;

class SlicedWait {
public:
    // With the link's slice and keep-alive hook; once the link's stop is
    // requested every wait ends at once, as failed. The link outlives it.
    explicit SlicedWait(const DeviceLink& link);

    // Waits until `descriptor` reports one of `events` or `limit` has passed.
    // Returns the events reported (POLLERR when poll itself failed or the
    // stop was requested), 0 when the time ran out.
    short waitFor(int descriptor, short events, Milliseconds limit);
    // The same for several descriptors at once: sets the events each
    // reports and returns how many report any, 0 when the time ran out,
    // -1 when poll itself failed or the stop was requested.
    int waitForAny(std::span<pollfd> watched, Milliseconds limit);
    // Waits for `limit` with nothing to watch, or until the stop.
    void pause(Milliseconds limit);
    bool stopped() const { return m_stop && m_stop->load(); }

private:
    using Clock = std::chrono::steady_clock;
    int pollUntil(std::span<pollfd> watched, Clock::time_point deadline);
    void keepAliveIfDue();

    Milliseconds m_slice;
    const std::function<void()>& m_keepAlive;
    const std::atomic<bool>* m_stop;
    Clock::time_point m_lastKeepAlive = Clock::now();
};

} // namespace telvor
