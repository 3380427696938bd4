#include "readiness_poller.h"

#include <sys/epoll.h>
#include <unistd.h>

#include <array>

namespace telvor {

ReadinessPoller::ReadinessPoller()
    : m_epoll(::epoll_create1(EPOLL_CLOEXEC))
{
}

ReadinessPoller::~ReadinessPoller()
{
    if (m_epoll >= 0)
        ::close(m_epoll);
}

void ReadinessPoller::watch(int descriptor, unsigned events, ServedDevice& device, Role role)
{
    if (descriptor < 0)
        return;
    const auto slot = static_cast<std::size_t>(descriptor);
    if (slot >= m_watched.size())
        m_watched.resize(slot + 1);
    epoll_event event{};
    event.events = events;
    event.data.fd = descriptor;
    const bool known = m_watched[slot].device != nullptr;
    ::epoll_ctl(m_epoll, known ? EPOLL_CTL_MOD : EPOLL_CTL_ADD, descriptor, &event);
    m_watched[slot] = {&device, role};
}

void ReadinessPoller::forget(int descriptor)
{
    const auto slot = static_cast<std::size_t>(descriptor);
    if (descriptor < 0 || slot >= m_watched.size() || !m_watched[slot].device)
        return;
    ::epoll_ctl(m_epoll, EPOLL_CTL_DEL, descriptor, nullptr);
    m_watched[slot] = {};
}

std::vector<ReadinessPoller::Ready> ReadinessPoller::takeReady()
{
    // Level-triggered: what does not fit now is reported again next time.
    std::array<epoll_event, 1024> events;
    const int count = ::epoll_wait(m_epoll, events.data(), static_cast<int>(events.size()), 0);
    std::vector<Ready> ready;
    for (int index = 0; index < count; ++index) {
        const Watched& watched = m_watched[static_cast<std::size_t>(events[index].data.fd)];
        if (watched.device)
            ready.push_back({watched.device, watched.role, events[index].events});
    }
    return ready;
}

} // namespace telvor
