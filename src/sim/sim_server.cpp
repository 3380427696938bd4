#include "sim_server.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <filesystem>

namespace telvor {

namespace {

timespec timespecUntil(std::chrono::steady_clock::time_point due)
{
    const auto remaining
        = std::max(due - std::chrono::steady_clock::now(), std::chrono::steady_clock::duration::zero());
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(remaining);
    const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(remaining - seconds);
    return timespec{static_cast<time_t>(seconds.count()), static_cast<long>(nanoseconds.count())};
}

void closeDescriptor(int& descriptor)
{
    if (descriptor >= 0)
        ::close(descriptor);
    descriptor = -1;
}

} // namespace

SimServer::SimServer(VirtualDevice device, ServerOptions options)
    : SimServer(std::vector<VirtualDevice>{std::move(device)}, std::move(options))
{
}

SimServer::SimServer(std::vector<VirtualDevice> devices, ServerOptions options)
    : m_options(std::move(options))
{
    for (VirtualDevice& device : devices)
        m_devices.push_back(std::make_unique<ServedDevice>(std::move(device), m_options, m_poller));
    if (::pipe2(m_wake, O_NONBLOCK | O_CLOEXEC) != 0)
        m_wake[0] = m_wake[1] = -1;
}

SimServer::~SimServer()
{
    stop();
    m_devices.clear();
    closeDescriptor(m_wake[0]);
    closeDescriptor(m_wake[1]);
}

bool SimServer::listenTcp(const std::string& address, int port, std::string& error)
{
    if (!m_poller.valid()) {
        error = "no readiness poller";
        return false;
    }
    for (std::size_t index = 0; index < m_devices.size(); ++index) {
        ServedDevice& device = *m_devices[index];
        const int devicePort = port == 0 ? 0 : port + static_cast<int>(index);
        if (!device.listenTcp(address, devicePort, error))
            return false;
        if (!m_options.saveFolder.empty()) {
            const std::filesystem::path folder = m_options.saveFolder;
            const std::string name = std::to_string(device.port());
            device.saveTo((folder / (name + ".tvr")).string(), (folder / (name + ".connections")).string());
        }
    }
    return true;
}

bool SimServer::openPty(const std::string& link, std::string& error)
{
    if (m_devices.size() != 1) {
        error = "a pseudo-terminal serves one device";
        return false;
    }
    return m_devices.front()->openPty(link, error);
}

bool SimServer::start()
{
    std::string error;
    if (!listenTcp("127.0.0.1", 0, error))
        return false;
    m_thread = std::thread([this] { run(); });
    return true;
}

bool SimServer::startPty(const std::string& link, std::string& error)
{
    if (!openPty(link, error))
        return false;
    m_thread = std::thread([this] { run(); });
    return true;
}

void SimServer::requestStop()
{
    m_stopRequested = true;
    const char wake = 1;
    [[maybe_unused]] const auto written = ::write(m_wake[1], &wake, 1);
}

void SimServer::stop()
{
    requestStop();
    if (m_thread.joinable())
        m_thread.join();
}

// The devices with something queued are the only ones with a time to wait
// for; the others wake the loop through the poller.
void SimServer::run()
{
    std::vector<ServedDevice*> busy;
    while (!m_stopRequested) {
        Clock::time_point due = Clock::time_point::max();
        for (const ServedDevice* device : busy)
            due = std::min(due, device->nextDue());
        std::array<pollfd, 2> watched{{{m_wake[0], POLLIN, 0}, {m_poller.descriptor(), POLLIN, 0}}};
        timespec wait{};
        if (due != Clock::time_point::max())
            wait = timespecUntil(due);
        if (::ppoll(watched.data(), watched.size(), due == Clock::time_point::max() ? nullptr : &wait, nullptr) < 0
            && errno != EINTR)
            break;
        if (m_stopRequested)
            break;
        std::vector<ServedDevice*> touched;
        for (const ReadinessPoller::Ready& ready : m_poller.takeReady()) {
            ready.device->noteEvents(ready.role, ready.events);
            touched.push_back(ready.device);
        }
        std::sort(touched.begin(), touched.end());
        touched.erase(std::unique(touched.begin(), touched.end()), touched.end());
        for (ServedDevice* device : touched)
            device->takeEvents();
        busy.insert(busy.end(), touched.begin(), touched.end());
        std::sort(busy.begin(), busy.end());
        busy.erase(std::unique(busy.begin(), busy.end()), busy.end());
        for (ServedDevice* device : busy)
            device->serveDue();
        std::erase_if(busy, [](const ServedDevice* device) { return device->nextDue() == Clock::time_point::max(); });
    }
    for (const auto& device : m_devices)
        device->finish();
}

} // namespace telvor
