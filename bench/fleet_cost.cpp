// What a fleet run costs against what its devices alone would: telvorctl
// fleet writing N devices of telvor-sim --devices N at a reply latency, J at
// once, against one telvorctl write with its backup of the same image to one
// of those devices, each in a process of its own, so that the device's work
// is not counted as the client's. Prints one line: the fleet's wall time,
// processor time (user and system, from wait4) and maximum resident memory,
// the single write's median wall and processor time over its runs, and
// whether every device was written.
//
// fleet_cost --sim PROGRAM --ctl PROGRAM --settings FILE.tvr --devices N --jobs J --latency MS [--single-runs R]
#include "support/sim_child_process.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using telvor::listeningPort;
using telvor::SimChildProcess;

struct Options {
    std::string sim;
    std::string ctl;
    std::string settings;
    int devices = 0;
    int jobs = 0;
    int latencyMs = -1;
    int singleRuns = 3;
};

bool parseOptions(int argc, char** argv, Options& options)
{
    std::map<std::string, std::string> values;
    for (int index = 1; index + 1 < argc; index += 2)
        values[argv[index]] = argv[index + 1];
    options.sim = values["--sim"];
    options.ctl = values["--ctl"];
    options.settings = values["--settings"];
    options.devices = std::atoi(values["--devices"].c_str());
    options.jobs = std::atoi(values["--jobs"].c_str());
    options.latencyMs = values.contains("--latency") ? std::atoi(values["--latency"].c_str()) : -1;
    if (values.contains("--single-runs"))
        options.singleRuns = std::atoi(values["--single-runs"].c_str());
    return argc % 2 == 1 && !options.sim.empty() && !options.ctl.empty() && !options.settings.empty()
        && options.devices > 0 && options.jobs > 0 && options.latencyMs >= 0 && options.singleRuns > 0;
}

struct ChildCost {
    int status = -1;
    double wallMs = 0;
    double cpuMs = 0;
    long maxRssKb = 0;
};

double milliseconds(const timeval& time)
{
    return static_cast<double>(time.tv_sec) * 1000 + static_cast<double>(time.tv_usec) / 1000;
}

// Runs `program` with its output thrown away; its own processor time and
// memory, from wait4.
ChildCost runMeasured(const std::string& program, std::vector<std::string> arguments)
{
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        const int nowhere = ::open("/dev/null", O_WRONLY);
        ::dup2(nowhere, STDOUT_FILENO);
        ::dup2(nowhere, STDERR_FILENO);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ChildCost cost;
    int status = 0;
    rusage usage{};
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child)
        return cost;
    cost.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    cost.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    cost.cpuMs = milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime);
    cost.maxRssKb = usage.ru_maxrss;
    return cost;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::size_t writtenReceipts(const fs::path& receipts)
{
    std::ifstream file(receipts);
    std::size_t written = 0;
    for (std::string line; std::getline(file, line);)
        written += line.find("\"outcome\":\"written\"") != std::string::npos;
    return written;
}

int measure(const Options& options, const fs::path& folder)
{
    SimChildProcess sim(options.sim,
                        {"--tcp", "127.0.0.1:0", "--devices", std::to_string(options.devices), "--image",
                         options.settings, "--latency", std::to_string(options.latencyMs)});
    std::ostringstream plan;
    plan << "target,template,internet.uid\n";
    std::vector<int> ports;
    for (int device = 0; device < options.devices; ++device) {
        const std::string line = device == 0 ? sim.firstLine() : sim.nextLine();
        const int port = listeningPort(line);
        if (port == 0)
            throw std::runtime_error(options.sim + " did not start: " + line);
        ports.push_back(port);
        plan << "tcp:127.0.0.1:" << port << "," << options.settings << "," << device + 1 << "\n";
    }
    std::ofstream(folder / "plan.csv") << plan.str();

    std::vector<double> singleWall;
    std::vector<double> singleCpu;
    for (int run = 0; run < options.singleRuns; ++run) {
        const ChildCost single = runMeasured(options.ctl,
                                             {"--tcp", "127.0.0.1:" + std::to_string(ports.front()), "--history",
                                              (folder / "single.sqlite3").string(), "write", options.settings});
        if (single.status != 0)
            throw std::runtime_error("the single write failed");
        singleWall.push_back(single.wallMs);
        singleCpu.push_back(single.cpuMs);
    }

    const fs::path receipts = folder / "receipts.jsonl";
    const ChildCost fleet
        = runMeasured(options.ctl,
                      {"fleet", (folder / "plan.csv").string(), "--jobs", std::to_string(options.jobs), "--history",
                       (folder / "fleet.sqlite3").string(), "--receipts", receipts.string()});
    const bool ok = fleet.status == 0 && writtenReceipts(receipts) == static_cast<std::size_t>(options.devices);
    std::printf("devices=%d jobs=%d latency_ms=%d wall_ms=%.1f cpu_ms=%.1f max_rss_kb=%ld single_wall_ms=%.1f "
                "single_cpu_ms=%.2f ok=%d\n",
                options.devices, options.jobs, options.latencyMs, fleet.wallMs, fleet.cpuMs, fleet.maxRssKb,
                median(singleWall), median(singleCpu), ok ? 1 : 0);
    if (!ok)
        std::fprintf(stderr, "the fleet did not write every device (exit status %d)\n", fleet.status);
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: fleet_cost --sim PROGRAM --ctl PROGRAM --settings FILE.tvr --devices N --jobs J "
                     "--latency MS [--single-runs R]\n");
        return 2;
    }
    char folderTemplate[] = "/tmp/telvor-fleet-bench-XXXXXX";
    if (!::mkdtemp(folderTemplate)) {
        std::perror("temporary folder");
        return 2;
    }
    const fs::path folder = folderTemplate;
    int status = 0;
    try {
        status = measure(options, folder);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        status = 2;
    }
    fs::remove_all(folder);
    return status;
}
