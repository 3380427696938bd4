// Serves virtual devices over loopback TCP or a pseudo-terminal: each one
// connection at a time and any number in sequence, with the pacing of a
// real line when asked. Any number of devices share the one serving thread.
#pragma once

#include "readiness_poller.h"
#include "served_device.h"
#include "virtual_device.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace telvor {

class SimServer {
public:
    explicit SimServer(VirtualDevice device, ServerOptions options = {});
    // Several devices, each with its own image, version and faults.
    explicit SimServer(std::vector<VirtualDevice> devices, ServerOptions options = {});
    ~SimServer();
    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;

    // Listens on `address` (dotted IPv4): device k (from 0) on `port` + k,
    // or every device on a free port of its own when `port` is 0.
    bool listenTcp(const std::string& address, int port, std::string& error);
    // Opens a pseudo-terminal for the one device and makes `link` a symbolic
    // link to its slave side; the link is removed again when the server ends.
    bool openPty(const std::string& link, std::string& error);
    std::size_t deviceCount() const { return m_devices.size(); }
    const std::string& address() const { return m_devices.front()->address(); }
    int port(std::size_t device = 0) const { return m_devices.at(device)->port(); }
    const std::string& ptySlavePath() const { return m_devices.front()->ptySlavePath(); }

    // Serves until a stop is requested; a connection still open then counts
    // as ended (the image is saved).
    void run();
    // Listens on 127.0.0.1 at free ports and serves in a thread of its own.
    bool start();
    // Serves a pseudo-terminal linked from `link` in a thread of its own.
    bool startPty(const std::string& link, std::string& error);
    // Safe in a signal handler: makes run() return soon.
    void requestStop();
    // Requests the stop and waits for the serving thread.
    void stop();

    SettingsImage image(std::size_t device = 0) const { return m_devices.at(device)->image(); }
    std::vector<std::string> receivedLines(std::size_t device = 0) const
    {
        return m_devices.at(device)->receivedLines();
    }
    // The connections the device has accepted.
    int connectionCount(std::size_t device = 0) const { return m_devices.at(device)->connectionCount(); }

private:
    using Clock = ServedDevice::Clock;

    // The options outlive the devices, which refer to them.
    ServerOptions m_options;
    ReadinessPoller m_poller;
    std::vector<std::unique_ptr<ServedDevice>> m_devices;
    std::thread m_thread;
    int m_wake[2] = {-1, -1};
    std::atomic<bool> m_stopRequested = false;
};

} // namespace telvor
