#include "link/sliced_wait.h"

#include "link/device_link.h"

#include <algorithm>
#include <cerrno>

namespace telvor {

SlicedWait::SlicedWait(const DeviceLink& link)
    : m_slice(std::max(link.timing.keepAliveSlice, Milliseconds{1}))
    , m_keepAlive(link.keepAlive)
    , m_stop(link.stopRequest)
{
}

short SlicedWait::waitFor(int descriptor, short events, Milliseconds limit)
{
    pollfd watched{descriptor, events, 0};
    const int ready = pollUntil(std::span(&watched, 1), Clock::now() + limit);
    return ready < 0 ? POLLERR : ready == 0 ? 0 : watched.revents;
}

int SlicedWait::waitForAny(std::span<pollfd> watched, Milliseconds limit)
{
    return pollUntil(watched, Clock::now() + limit);
}

void SlicedWait::pause(Milliseconds limit)
{
    pollUntil({}, Clock::now() + limit);
}

int SlicedWait::pollUntil(std::span<pollfd> watched, Clock::time_point deadline)
{
    for (;;) {
        if (stopped())
            return -1;
        const auto now = Clock::now();
        if (now >= deadline)
            return 0;
        const auto untilKeepAlive = m_lastKeepAlive + m_slice - now;
        const auto wait
            = std::clamp(std::chrono::ceil<Milliseconds>(std::min<Clock::duration>(deadline - now, untilKeepAlive)),
                         Milliseconds{0}, m_slice);
        const int ready = ::poll(watched.data(), watched.size(), static_cast<int>(wait.count()));
        keepAliveIfDue();
        if (stopped())
            return -1;
        if (ready > 0)
            return ready;
        if (ready < 0 && errno != EINTR)
            return -1;
    }
}

void SlicedWait::keepAliveIfDue()
{
    const auto now = Clock::now();
    if (now - m_lastKeepAlive < m_slice)
        return;
    m_lastKeepAlive = now;
    if (m_keepAlive)
        m_keepAlive();
}

} // namespace telvor
