// telvor-sim of this build folder as a process of its own, listening on a
// free loopback port, for the tests of telvorctl's and the window's device
// commands.
#pragma once

#include "support/sim_child_process.h"

#include <string>
#include <vector>

namespace telvor {

class LoopbackSim {
public:
    // `arguments` come after "--tcp 127.0.0.1:0". Throws when the simulator
    // does not report its port.
    explicit LoopbackSim(const std::vector<std::string>& arguments = {},
                         const SimChildProcess::ErrorOutput& errors = SimChildProcess::ErrorOutput::shown());

    int port() const { return m_port; }
    // "127.0.0.1:PORT", as --tcp takes it.
    std::string address() const { return "127.0.0.1:" + std::to_string(m_port); }

private:
    SimChildProcess m_process;
    int m_port = 0;
};

} // namespace telvor
