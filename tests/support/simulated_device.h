// A device operation against the virtual device over loopback TCP, with the
// link's time limits cut down and a fixed clock.
#pragma once

#include "support/recording_surface.h"

#include "link/device_link.h"
#include "operations/device_operations.h"
#include "sim/sim_server.h"

#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace telvor {

// 6 May 2026, 07:05:09.
std::tm fixedLocalTime();
inline constexpr const char* kFixedClockLine = "TIME=26/05/06,07:05:09";

// The device operations with what they work on, as the window holds them,
// on the fixed clock.
struct OperationsUnderTest {
    SettingsImage working;
    SettingsImage verification;
    FirmwareVersion firmware;
    DeviceLink link;
    RecordingSurface surface;
    DeviceOperations operations{working, verification, firmware, link, surface, fixedLocalTime};
};

class SimulatedDevice : public OperationsUnderTest {
public:
    explicit SimulatedDevice(const SettingsImage& deviceImage = {}, std::string versionText = "v3.6E",
                             DeviceFaults faults = {});

    std::vector<std::string> receivedLines() const { return m_server->receivedLines(); }
    SettingsImage deviceImage() const { return m_server->image(); }

private:
    std::unique_ptr<SimServer> m_server;
};

// The lines of the opening of a read or a write.
std::vector<std::string> openingLines();

} // namespace telvor
