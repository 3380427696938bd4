// What a full "Write to device" costs: the write, its verification and all
// four service commands, run by the device operations against telvor-sim in
// a process of its own, so that only the client's work is counted. Prints one
// line per run: wall time, the client's processor time (getrusage) and the
// bytes sent and received.
//
// full_write_cost --sim PROGRAM --settings FILE.tvr --runs N
//                 (--tcp LATENCY_MS | --serial BAUD [--strict | --usb-settle])
//                 [--history FILE]
//
// With --history each run also makes the same write recorded in the history
// FILE, opened for it as telvorctl opens it (without the backup read, which
// is a read of the device, not recording), and times the recording alone:
// opening the history, the running row with the image sent, the completed
// row.
//
// The benchmark's serial port is a pseudo-terminal, which content framing
// settles after timing.serialSettleDirect; --usb-settle makes it wait
// timing.serialSettle instead, as it does on a USB serial adapter.
#include "history/recorded_operations.h"
#include "image/settings_file.h"
#include "link/device_link.h"
#include "operations/device_operations.h"
#include "support/sim_child_process.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace telvor;

// The window as far as a write needs it: every service option ticked, the
// texts kept, every message box counted as a failure.
class BenchSurface final : public StatusSurface {
public:
    ControlValues takeControlValues() override
    {
        ControlValues controls;
        controls.service = {true, true, true, true};
        return controls;
    }
    void setStatusText(std::string_view text) override { m_status = text; }
    void appendStatusText(std::string_view text) override { m_status += text; }
    void setVersionText(std::string_view) override {}
    void setProgressRange(int, int) override {}
    void setProgressPosition(int) override {}
    void showMessage(std::string_view text, std::string_view) override { m_boxes += std::string(text) + "; "; }
    void pushValuesToControls() override {}

    const std::string& status() const { return m_status; }
    const std::string& boxes() const { return m_boxes; }

private:
    std::string m_status;
    std::string m_boxes;
};

double processorSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Options {
    std::string sim;
    std::string settings;
    int runs = 1;
    int tcpLatencyMs = -1;
    int serialBaud = 0;
    bool strict = false;
    bool usbSettle = false;
    std::string history;
};

bool parseOptions(int argc, char** argv, Options& options)
{
    std::map<std::string_view, std::string> values;
    for (int index = 1; index < argc; ++index) {
        const std::string_view name = argv[index];
        if (name == "--strict") {
            options.strict = true;
        } else if (name == "--usb-settle") {
            options.usbSettle = true;
        } else if (index + 1 < argc) {
            values[name] = argv[++index];
        } else {
            return false;
        }
    }
    options.sim = values["--sim"];
    options.settings = values["--settings"];
    options.runs = std::atoi(values.contains("--runs") ? values["--runs"].c_str() : "1");
    if (values.contains("--tcp"))
        options.tcpLatencyMs = std::atoi(values["--tcp"].c_str());
    if (values.contains("--serial"))
        options.serialBaud = std::atoi(values["--serial"].c_str());
    options.history = values["--history"];
    return !options.sim.empty() && !options.settings.empty() && options.runs > 0
        && (options.tcpLatencyMs >= 0) != (options.serialBaud > 0) && !(options.strict && options.usbSettle);
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A recorded write as telvorctl makes it, the history opened for it; its
// wall time in seconds, or a negative time when it failed.
double recordedWrite(const Options& options, const SettingsImage& settings, DeviceLink& link)
{
    SettingsImage working = settings;
    SettingsImage verification;
    FirmwareVersion version;
    BenchSurface surface;
    const auto start = std::chrono::steady_clock::now();
    const OpenedHistory history = openHistory(options.history);
    const RecordedResult result = runRecorded(OperationKind::Write, {working, verification, version, link, surface},
                                              {history.store.get(), history.unavailable, "bench"});
    const double wall = secondsSince(start);
    if (!result.done || !result.notRecorded.empty()) {
        std::fprintf(stderr, "recorded write failed: %s %s\n", surface.status().c_str(), result.notRecorded.c_str());
        return -1;
    }
    return wall;
}

// The history's own part of a recorded write, without the device.
double recordingAlone(const Options& options, const SettingsImage& settings)
{
    const auto start = std::chrono::steady_clock::now();
    const OpenedHistory history = openHistory(options.history);
    OperationStart begin;
    begin.program = "bench";
    begin.kind = OperationKind::Write;
    begin.target = "tcp:127.0.0.1:23";
    begin.options = "reset-counters,erase-log,set-clock,reset-device";
    begin.sent = &settings;
    OperationEnd end;
    end.outcome = Outcome::Succeeded;
    end.status = "Configuration transferred to device,\r\nverification successful.";
    history.store->endOperation(history.store->beginOperation(begin), end);
    return secondsSince(start);
}

// One write on a fresh link; false when it did not end verified.
bool measureOneWrite(const Options& options, const SettingsImage& settings, int tcpPort, const std::string& portFormat)
{
    DeviceLink link;
    if (options.tcpLatencyMs >= 0) {
        link.endpoint = TcpEndpoint{"127.0.0.1", static_cast<std::uint16_t>(tcpPort)};
    } else {
        link.endpoint = SerialPortNumber{1};
        link.serialDeviceFormat = portFormat;
        link.strictSerialTiming = options.strict;
        if (options.usbSettle)
            link.timing.serialSettleDirect = link.timing.serialSettle;
    }
    long sent = 0;
    long received = 0;
    link.onTraffic = [&](DeviceLink::Direction direction, std::string_view bytes) {
        (direction == DeviceLink::Direction::Sent ? sent : received) += static_cast<long>(bytes.size());
    };
    SettingsImage working = settings;
    SettingsImage verification;
    FirmwareVersion version;
    BenchSurface surface;
    DeviceOperations operations(working, verification, version, link, surface);

    const auto wallStart = std::chrono::steady_clock::now();
    const double processorStart = processorSeconds();
    const bool done = operations.writeToDevice();
    const double processor = processorSeconds() - processorStart;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    std::printf("wall_ms=%.3f cpu_ms=%.3f sent=%ld received=%ld ok=%d", wall * 1000, processor * 1000, sent, received,
                done ? 1 : 0);
    if (!done)
        std::fprintf(stderr, "write failed: %s %s\n", surface.status().c_str(), surface.boxes().c_str());
    bool recorded = true;
    if (!options.history.empty()) {
        const double recordedWall = recordedWrite(options, settings, link);
        recorded = recordedWall >= 0;
        std::printf(" recorded_ms=%.3f record_ms=%.3f", recordedWall * 1000, recordingAlone(options, settings) * 1000);
    }
    std::printf("\n");
    std::fflush(stdout);
    return done && recorded;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: full_write_cost --sim PROGRAM --settings FILE.tvr --runs N "
                     "(--tcp LATENCY_MS | --serial BAUD [--strict | --usb-settle]) [--history FILE]\n");
        return 2;
    }
    SettingsImage settings;
    if (!readSettingsFile(options.settings, settings).ok) {
        std::fprintf(stderr, "cannot read %s\n", options.settings.c_str());
        return 2;
    }
    const std::string imageArgument = options.settings;
    char folderTemplate[] = "/tmp/telvor-bench-XXXXXX";
    if (!::mkdtemp(folderTemplate)) {
        std::perror("temporary folder");
        return 2;
    }
    const std::filesystem::path folder = folderTemplate;
    int status = 0;
    try {
        const bool tcp = options.tcpLatencyMs >= 0;
        const std::vector<std::string> arguments = tcp
            ? std::vector<std::string>{"--tcp",       "127.0.0.1:0", "--image",
                                       imageArgument, "--latency",   std::to_string(options.tcpLatencyMs)}
            : std::vector<std::string>{"--pty",  (folder / "port0").string(),       "--image", imageArgument,
                                       "--baud", std::to_string(options.serialBaud)};
        SimChildProcess sim(options.sim, arguments);
        const std::string firstLine = sim.firstLine();
        if (tcp ? listeningPort(firstLine) == 0 : !firstLine.starts_with("pty "))
            throw std::runtime_error(options.sim + " did not start: " + firstLine);
        for (int run = 0; run < options.runs; ++run)
            if (!measureOneWrite(options, settings, listeningPort(firstLine), (folder / "port%d").string()))
                status = 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        status = 2;
    }
    std::filesystem::remove_all(folder);
    return status;
}
