#include "support/loopback_sim.h"

#include "support/build_folder.h"

#include <stdexcept>

namespace telvor {

namespace {

std::vector<std::string> onLoopback(const std::vector<std::string>& arguments)
{
    std::vector<std::string> all = {"--tcp", "127.0.0.1:0"};
    all.insert(all.end(), arguments.begin(), arguments.end());
    return all;
}

} // namespace

LoopbackSim::LoopbackSim(const std::vector<std::string>& arguments, const SimChildProcess::ErrorOutput& errors)
    : m_process(test_support::builtProgram("telvor-sim"), onLoopback(arguments), errors)
{
    const std::string line = m_process.firstLine();
    m_port = listeningPort(line);
    if (m_port == 0)
        throw std::runtime_error("telvor-sim did not start: " + line);
}

} // namespace telvor
