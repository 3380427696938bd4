// What a long wait for the device costs: a TCP command whose acknowledgement
// comes after 2 s must leave the processor free (under 5 % of one core), as
// the link waits in poll() rather than spinning. Talks to a loopback peer of
// its own only.
#include "link/device_link.h"

#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kReplyDelayMs = 2000;
constexpr int kRounds = 3;
constexpr double kAllowedShare = 0.05;

double processorSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Accepts one connection and answers each line with "OK" CR after the delay.
void slowDevice(int listener)
{
    const int connection = ::accept(listener, nullptr, nullptr);
    if (connection < 0)
        return;
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(connection, buffer, sizeof buffer);
        if (count <= 0)
            break;
        ::poll(nullptr, 0, kReplyDelayMs);
        if (::write(connection, "OK\r", 3) != 3)
            break;
    }
    ::close(connection);
}

} // namespace

int main()
{
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener, 1) != 0
        || ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        std::perror("loopback listener");
        return 2;
    }
    std::thread device(slowDevice, listener);

    telvor::DeviceLink link;
    link.endpoint = telvor::TcpEndpoint{"127.0.0.1", ntohs(address.sin_port)};
    long keepAliveCalls = 0;
    link.keepAlive = [&] { ++keepAliveCalls; };
    if (link.open() != telvor::OpenResult::Opened) {
        std::fprintf(stderr, "cannot connect to the loopback device\n");
        return 2;
    }

    bool withinBudget = true;
    for (int round = 1; round <= kRounds; ++round) {
        keepAliveCalls = 0;
        const auto wallStart = std::chrono::steady_clock::now();
        const double processorStart = processorSeconds();
        const bool acknowledged = link.sendCommand("HALT!") == telvor::CommandResult::Acknowledged;
        const double processor = processorSeconds() - processorStart;
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
        const double share = processor / wall;
        std::printf("round %d: %s, waited %.0f ms, processor %.2f ms (%.3f %% of one core), %ld keep-alive calls\n",
                    round, acknowledged ? "acknowledged" : "not acknowledged", wall * 1000, processor * 1000,
                    share * 100, keepAliveCalls);
        withinBudget = withinBudget && acknowledged && share < kAllowedShare;
    }
    link.close();
    device.join();
    ::close(listener);
    std::printf("%s: a TCP command waiting %d ms costs %s 5 %% of one core\n", withinBudget ? "PASS" : "FAIL",
                kReplyDelayMs, withinBudget ? "under" : "not under");
    return withinBudget ? 0 : 1;
}
