// The far end of the virtual device in tests: a loopback TCP client or the
// user side of a pseudo-terminal, reading with poll() against a deadline.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace telvor::testing_peer {

using namespace std::chrono_literals;

class Peer {
public:
    // A TCP connection to 127.0.0.1:port; invalid() when it fails.
    static Peer tcp(int port);
    // The terminal at `path`, in raw mode.
    static Peer terminal(const std::string& path);

    Peer(Peer&& other) noexcept;
    Peer& operator=(Peer&& other) noexcept;
    ~Peer();

    bool valid() const { return m_descriptor >= 0; }
    int descriptor() const { return m_descriptor; }
    void send(const std::string& bytes);
    // Reads until `complete` holds for the bytes read so far, the far end
    // closes, or `limit` passes. Every read piece is kept in pieces().
    std::string readUntil(const std::function<bool(const std::string&)>& complete,
                          std::chrono::milliseconds limit = 3000ms);
    // Reads until the bytes end with `ending`.
    std::string readUntilEnd(const std::string& ending, std::chrono::milliseconds limit = 3000ms);
    // True when nothing arrives within `limit`.
    bool quietFor(std::chrono::milliseconds limit);
    bool closedByFarEnd() const { return m_closed; }
    const std::vector<std::string>& pieces() const { return m_pieces; }
    void close();

private:
    explicit Peer(int descriptor)
        : m_descriptor(descriptor)
    {
    }

    int m_descriptor = -1;
    bool m_closed = false;
    std::vector<std::string> m_pieces;
};

} // namespace telvor::testing_peer
