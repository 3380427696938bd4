#include "link/sliced_wait.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>

namespace telvor {

SlicedWait::SlicedWait(Milliseconds slice, const std::function<void()>& keepAlive)
    : m_slice(std::max(slice, Milliseconds{1}))
    , m_keepAlive(keepAlive)
{
}

short SlicedWait::waitFor(int descriptor, short events, Milliseconds limit)
{
    return pollUntil(descriptor, events, Clock::now() + limit);
}

void SlicedWait::pause(Milliseconds limit)
{
    pollUntil(-1, 0, Clock::now() + limit);
}

short SlicedWait::pollUntil(int descriptor, short events, Clock::time_point deadline)
{
    for (;;) {
        const auto now = Clock::now();
        if (now >= deadline)
            return 0;
        const auto untilKeepAlive = m_lastKeepAlive + m_slice - now;
        const auto wait
            = std::clamp(std::chrono::ceil<Milliseconds>(std::min<Clock::duration>(deadline - now, untilKeepAlive)),
                         Milliseconds{0}, m_slice);
        pollfd watched{descriptor, events, 0};
        const int ready = ::poll(&watched, descriptor < 0 ? 0 : 1, static_cast<int>(wait.count()));
        keepAliveIfDue();
        if (ready > 0)
            return watched.revents;
        if (ready < 0 && errno != EINTR)
            return POLLERR;
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
