// What telvorctl fleet shows on standard error while it runs. On a
// terminal: one status line redrawn in place (written, failed, running,
// waiting, devices per minute, time left) with a line above it for each
// device that does not end written. Otherwise: one plain line per device as
// it ends. A summary line at the end either way.
#pragma once

#include "terminal_line.h"

#include "fleet/fleet_run.h"

#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace telvor {

class FleetDisplay final : public FleetObserver {
public:
    using Clock = std::chrono::steady_clock;

    // `terminalColumns`: the width of the terminal standard error is, or
    // nothing when it is none. Everything goes to `output`.
    FleetDisplay(std::optional<int> terminalColumns, TerminalLine::Output output = writeToStandardError,
                 std::function<Clock::time_point()> now = Clock::now);

    void deviceStarted(const PlannedDevice& device, const FleetTally& tally) override;
    void deviceEnded(const DeviceReport& report) override;
    // From the waiting thread, so that the time shown moves on.
    void tick(const FleetTally& tally);
    // "telvorctl: TEXT" above the status line.
    void message(std::string_view text);
    // The status line makes way for the summary.
    void finish(const FleetTally& tally);

private:
    void printAbove(const std::string& line);
    void redraw(const FleetTally& tally);
    std::chrono::seconds elapsed() const;

    std::mutex m_mutex;
    bool m_terminal;
    TerminalLine::Output m_output;
    TerminalLine m_line;
    std::function<Clock::time_point()> m_now;
    Clock::time_point m_start;
};

// "written 12, failed 1, running 8, waiting 79, 37.5 devices/min, 2:13 left":
// failed counts every device that did not end written or skipped; the rate
// and the time left show once a device has ended.
std::string fleetStatusText(const FleetTally& tally, std::chrono::seconds elapsed);

// "TARGET NAME: OUTCOME", with why for a device not written:
// "tcp:10.0.0.5:23 pump-3: failed: Verify error (SMS3/1)".
std::string fleetDeviceLine(const DeviceReport& report);

// "fleet: 17 written, 0 skipped, 2 failed, 1 unreachable, 0 interrupted
// (20 devices, 0:42)".
std::string fleetSummary(const FleetTally& tally, std::chrono::seconds elapsed);

} // namespace telvor
