// One virtual device as a server serves it: its listening socket or
// pseudo-terminal, the connection of the moment, the lines waiting to be
// acted on and the bytes waiting to be sent. Many of them share one serving
// thread: each tells the readiness poller which descriptors to watch, takes
// the events reported on them, and says when its next reply falls due.
#pragma once

#include "line_splitter.h"
#include "readiness_poller.h"
#include "virtual_device.h"

#include <chrono>
#include <deque>
#include <mutex>
#include <random>
#include <string>
#include <vector>

namespace telvor {

struct ServerOptions {
    // Every reply in pieces of 1 to 3 bytes with short pauses between them.
    bool chunked = false;
    // Waited before each reply.
    std::chrono::milliseconds latency{0};
    // Pacing of a serial line in both directions (10 bit times a byte); 0 none.
    int baud = 0;
    // One device: written with the image after every connection; empty for
    // none.
    std::string saveFile;
    // Several devices: the folder where each keeps PORT.tvr, its image
    // written after every connection, and PORT.connections, the number of
    // connections it has accepted, written as each begins; empty for none.
    std::string saveFolder;
    // Every line received and every reply, to standard error.
    bool verbose = false;
};

class ServedDevice {
public:
    using Clock = std::chrono::steady_clock;

    ServedDevice(VirtualDevice device, const ServerOptions& options, ReadinessPoller& poller);
    ~ServedDevice();
    ServedDevice(const ServedDevice&) = delete;
    ServedDevice& operator=(const ServedDevice&) = delete;

    // Listens on `address` (dotted IPv4) and `port`, 0 for a free one.
    bool listenTcp(const std::string& address, int port, std::string& error);
    // Opens a pseudo-terminal and makes `link` a symbolic link to its slave
    // side; the link is removed again with the device.
    bool openPty(const std::string& link, std::string& error);
    const std::string& address() const { return m_address; }
    int port() const { return m_port; }
    const std::string& ptySlavePath() const { return m_ptySlavePath; }
    // Where the image goes after every connection, and where the number of
    // connections goes as each begins; empty for nowhere.
    void saveTo(std::string imageFile, std::string connectionsFile);

    // Takes the events the poller reported on one of this device's
    // descriptors; they are acted on by takeEvents().
    void noteEvents(ReadinessPoller::Role role, unsigned events);
    // Acts on the events noted since the last call, in the order that keeps
    // the bytes of a connection with it: a connection accepted, a client of
    // the pseudo-terminal gone or come, the bytes received.
    void takeEvents();
    // Acts on the lines and sends the bytes whose time has come.
    void serveDue();
    // When something queued falls due; Clock::time_point::max() when nothing
    // does.
    Clock::time_point nextDue() const;
    // The serving ends: a connection still open counts as ended.
    void finish();

    SettingsImage image() const;
    std::vector<std::string> receivedLines() const;
    int connectionCount() const;

private:
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
    void acceptConnection();
    void receiveBytes();
    void readPtyEvents();
    void actOnDueLines();
    void queueReply(const Reply& reply, Clock::time_point actedAt);
    void sendDueBytes();
    void setWaitingWritable(bool waiting);
    std::chrono::nanoseconds byteTime() const;
    void save() const;
    void saveConnectionCount() const;
    void log(std::string_view direction, std::string_view bytes) const;

    mutable std::mutex m_deviceMutex;
    VirtualDevice m_device;
    const ServerOptions& m_options;
    ReadinessPoller& m_poller;
    std::string m_saveFile;
    std::string m_connectionsFile;
    int m_connectionCount = 0;

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

    unsigned m_listenerEvents = 0;
    unsigned m_connectionEvents = 0;
    unsigned m_ptyWatchEvents = 0;
};

} // namespace telvor
