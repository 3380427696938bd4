// telvor-sim as a process of its own, so that its work never counts as the
// client's: on a free loopback port or behind a pseudo-terminal.
#pragma once

#include <string>
#include <vector>

namespace telvor::bench {

class SimChild final {
public:
    // Starts `program` with `arguments` and waits for its first line:
    // "listening on ADDRESS:PORT" or "pty LINK -> SLAVE". Throws when it does
    // not come.
    SimChild(const std::string& program, const std::vector<std::string>& arguments);
    ~SimChild();
    SimChild(const SimChild&) = delete;
    SimChild& operator=(const SimChild&) = delete;

    // The port of a TCP simulator, 0 for a pseudo-terminal.
    int port() const { return m_port; }

private:
    void stop();

    int m_pid = -1;
    int m_output = -1;
    int m_port = 0;
};

} // namespace telvor::bench
