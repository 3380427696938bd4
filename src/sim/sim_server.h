// Serves a virtual device over loopback TCP or a pseudo-terminal, one
// connection at a time and any number in sequence, with the pacing of a real
// line when asked.
#pragma once

#include "line_splitter.h"
#include "virtual_device.h"

#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace telvor {

struct ServerOptions {
    // Every reply in pieces of 1 to 3 bytes with short pauses between them.
    bool chunked = false;
    // Waited before each reply.
    std::chrono::milliseconds latency{0};
    // Pacing of a serial line in both directions (10 bit times a byte); 0 none.
    int baud = 0;
    // Written with the image after every connection; empty for none.
    std::string saveFile;
    // Every line received and every reply, to standard error.
    bool verbose = false;
};

class SimServer {
public:
    explicit SimServer(VirtualDevice device, ServerOptions options = {});
    ~SimServer();
    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;

    // Listens on `address` (dotted IPv4) and `port`, 0 for a free one.
    bool listenTcp(const std::string& address, int port, std::string& error);
    // Opens a pseudo-terminal and makes `link` a symbolic link to its slave
    // side; the link is removed again when the server ends.
    bool openPty(const std::string& link, std::string& error);
    const std::string& address() const { return m_address; }
    int port() const { return m_port; }
    const std::string& ptySlavePath() const { return m_ptySlavePath; }

    // Serves until a stop is requested; a connection still open then counts
    // as ended (the image is saved).
    void run();
    // Listens on 127.0.0.1 at a free port and serves in a thread of its own.
    bool start();
    // Serves a pseudo-terminal linked from `link` in a thread of its own.
    bool startPty(const std::string& link, std::string& error);
    // Safe in a signal handler: makes run() return soon.
    void requestStop();
    // Requests the stop and waits for the serving thread.
    void stop();

    SettingsImage image() const;
    std::vector<std::string> receivedLines() const;

private:
    using Clock = std::chrono::steady_clock;

    struct PendingLine {
        std::string text;
        Clock::time_point actAt;
    };
    struct Piece {
        std::string bytes;
        Clock::time_point due;
        bool closeAfter = false;
    };

    void beginConnection(int descriptor);
    void endConnection();
    void receiveBytes();
    void readPtyEvents();
    void actOnDueLines();
    void queueReply(const Reply& reply, Clock::time_point actedAt);
    void sendDueBytes();
    std::chrono::nanoseconds byteTime() const;
    // When something queued falls due; Clock::time_point::max() when nothing does.
    Clock::time_point nextDue() const;
    void save() const;
    void log(std::string_view direction, std::string_view bytes) const;

    mutable std::mutex m_deviceMutex;
    VirtualDevice m_device;
    ServerOptions m_options;
    std::thread m_thread;
    int m_wake[2] = {-1, -1};
    std::atomic<bool> m_stopRequested = false;

    int m_listener = -1;
    std::string m_address;
    int m_port = 0;

    int m_ptyMaster = -1;
    int m_ptySlave = -1;
    int m_ptyEvents = -1;
    int m_ptyOpenCount = 0;
    std::string m_ptyLink;
    std::string m_ptySlavePath;

    int m_connection = -1;
    bool m_connected = false;
    // After a close on a pseudo-terminal, which cannot hang up: everything is
    // dropped until the client closes the port.
    bool m_deaf = false;
    bool m_waitingWritable = false;
    LineSplitter m_splitter;
    std::deque<PendingLine> m_lines;
    std::deque<Piece> m_output;
    Clock::time_point m_inboundFreeAt{};
    Clock::time_point m_outboundFreeAt{};
    std::minstd_rand m_random;
};

} // namespace telvor
