// Which of many descriptors are ready, without looking at every one: epoll,
// whose cost follows what is ready, where poll() would go through the
// listening sockets of a thousand devices at every wake-up. Its own
// descriptor becomes readable when something is ready, so that a caller may
// wait on it with ppoll() and a time limit finer than a millisecond.
#pragma once

#include <vector>

namespace telvor {

class ServedDevice;

class ReadinessPoller {
public:
    // What a descriptor is to its device.
    enum class Role { Listener, Connection, PtyEvents };

    ReadinessPoller();
    ~ReadinessPoller();
    ReadinessPoller(const ReadinessPoller&) = delete;
    ReadinessPoller& operator=(const ReadinessPoller&) = delete;

    bool valid() const { return m_epoll >= 0; }
    int descriptor() const { return m_epoll; }

    // Watches `descriptor` for `events` (EPOLLIN, EPOLLOUT; 0 for errors
    // only), or changes what it is watched for.
    void watch(int descriptor, unsigned events, ServedDevice& device, Role role);
    // Stops watching it; before it is closed.
    void forget(int descriptor);

    struct Ready {
        ServedDevice* device;
        Role role;
        unsigned events;
    };
    // What is ready now, without waiting.
    std::vector<Ready> takeReady();

private:
    struct Watched {
        ServedDevice* device = nullptr;
        Role role = Role::Listener;
    };

    int m_epoll = -1;
    // By descriptor number.
    std::vector<Watched> m_watched;
};

} // namespace telvor
