// telvor-sim on a free loopback port for the window's device commands, with
// its log kept so that a test can count the connections the window opened.
#pragma once

#include "support/loopback_sim.h"

#include <QStringList>
#include <QTemporaryDir>

#include <optional>

namespace telvor {

class SimulatorForWindow final {
public:
    // Starts the simulator with these options besides its loopback address.
    explicit SimulatorForWindow(const QStringList& options = {});

    bool listening() const { return m_simulator.has_value(); }
    int port() const { return m_simulator ? m_simulator->port() : 0; }
    // How many connections the simulator has accepted so far.
    int connectionsOpened() const;

private:
    QTemporaryDir m_directory;
    std::optional<LoopbackSim> m_simulator;
};

} // namespace telvor
