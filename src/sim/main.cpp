// telvor-sim: a virtual Telvor device on loopback TCP or a pseudo-terminal.
#include "link/open_file_limit.h"
#include "sim/sim_options.h"
#include "sim/sim_server.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <vector>

namespace {

telvor::SimServer* g_server = nullptr;

void onStopSignal(int)
{
    if (g_server)
        g_server->requestStop();
}

// A settings file is the raw record; a shorter one fills the start of a
// zeroed image and a longer one gives its first bytes only.
bool readImage(const std::string& path, telvor::SettingsImage& image)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    image.clear();
    file.read(reinterpret_cast<char*>(image.bytes().data()), static_cast<std::streamsize>(image.bytes().size()));
    return !file.bad();
}

} // namespace

int main(int argc, char** argv)
{
    std::string error;
    const auto options = telvor::parseSimOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::cerr << "telvor-sim: " << error << "\n" << telvor::simUsage();
        return 2;
    }
    if (options->help) {
        std::cout << telvor::simUsage();
        return 0;
    }
    telvor::SettingsImage image;
    if (!options->imageFile.empty() && !readImage(options->imageFile, image)) {
        std::cerr << "telvor-sim: cannot read " << options->imageFile << "\n";
        return 1;
    }
    if (!options->server.saveFolder.empty() && !std::filesystem::is_directory(options->server.saveFolder)) {
        std::cerr << "telvor-sim: cannot save in " << options->server.saveFolder << ": not a folder\n";
        return 1;
    }
    const int count = options->devices.value_or(1);
    // Each device listens on a socket of its own and may hold a connection
    // besides.
    constexpr std::size_t kSpareFiles = 64;
    if (!telvor::allowOpenFiles(2 * static_cast<std::size_t>(count) + kSpareFiles)) {
        std::cerr << "telvor-sim: " << count << " devices need more open files than this process may have\n";
        return 1;
    }
    std::vector<telvor::VirtualDevice> devices;
    for (int number = 1; number <= count; ++number)
        devices.emplace_back(image, options->versionText, telvor::faultsOfDevice(*options, number));
    telvor::SimServer server(std::move(devices), options->server);
    if (options->tcpAddress) {
        if (!server.listenTcp(*options->tcpAddress, options->tcpPort, error)) {
            std::cerr << "telvor-sim: " << error << "\n";
            return 1;
        }
        for (std::size_t device = 0; device < server.deviceCount(); ++device)
            std::cout << "listening on " << server.address() << ':' << server.port(device) << '\n';
        std::cout << std::flush;
    } else {
        if (!server.openPty(*options->ptyLink, error)) {
            std::cerr << "telvor-sim: " << error << "\n";
            return 1;
        }
        std::cout << "pty " << *options->ptyLink << " -> " << server.ptySlavePath() << std::endl;
    }
    g_server = &server;
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    server.run();
    g_server = nullptr;
    return 0;
}
