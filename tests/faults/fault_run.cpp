#include "fault_run.h"

#include "support/simulated_device.h"

#include "link/device_link.h"
#include "operations/device_operations.h"
#include "sim/sim_server.h"

#include <filesystem>
#include <memory>
#include <stdexcept>

#include <unistd.h>

namespace telvor {

namespace {

namespace fs = std::filesystem;

// Serial port 1 reaches the pseudo-terminal linked as pty0.
constexpr int kSerialPortNumber = 1;

fs::path ptyDirectory()
{
    return fs::temp_directory_path() / ("telvor-faults-" + std::to_string(::getpid()));
}

std::unique_ptr<SimServer> startDevice(const FaultSetup& setup, DeviceLink& link)
{
    auto server = std::make_unique<SimServer>(
        VirtualDevice(setup.deviceImage, std::string(VirtualDevice::kDefaultVersionText), setup.faults));
    if (setup.transport == Transport::Tcp) {
        if (!server->start())
            throw std::runtime_error("the virtual device cannot listen on loopback");
        link.endpoint = TcpEndpoint{"127.0.0.1", static_cast<std::uint16_t>(server->port())};
        return server;
    }
    fs::create_directories(ptyDirectory());
    std::string error;
    if (!server->startPty((ptyDirectory() / "pty0").string(), error))
        throw std::runtime_error(error);
    link.endpoint = SerialPortNumber{kSerialPortNumber};
    link.serialDeviceFormat = (ptyDirectory() / "pty%d").string();
    return server;
}

} // namespace

int openDescriptorCount()
{
    int count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

FaultRun runWithFaults(const FaultSetup& setup)
{
    FaultRun run;
    run.working = setup.working;
    run.descriptorsBefore = openDescriptorCount();
    DeviceLink link;
    link.timing = setup.timing;
    {
        std::unique_ptr<SimServer> server = startDevice(setup, link);
        SettingsImage verification;
        FirmwareVersion firmware;
        RecordingSurface surface;
        surface.controls.service = {true, true, true, true};
        DeviceOperations operations(run.working, verification, firmware, link, surface, fixedLocalTime);

        const auto start = std::chrono::steady_clock::now();
        switch (setup.operation) {
        case Operation::Version:
            run.result = operations.checkDeviceVersion();
            break;
        case Operation::Read:
            run.result = operations.readFromDevice();
            break;
        case Operation::Write:
            run.result = operations.writeToDevice();
            break;
        }
        run.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        run.status = surface.shownStatus;
        run.boxes = surface.boxes;
        server->stop();
        run.deviceLines = server->receivedLines();
    }
    if (setup.transport == Transport::Serial)
        fs::remove_all(ptyDirectory());
    run.descriptorsAfter = openDescriptorCount();
    return run;
}

} // namespace telvor
