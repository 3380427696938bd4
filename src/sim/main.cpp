// telvor-sim: a virtual Telvor device on loopback TCP or a pseudo-terminal.
#include "sim/sim_options.h"
#include "sim/sim_server.h"

#include <csignal>
#include <fstream>
#include <iostream>

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
    telvor::SimServer server(telvor::VirtualDevice(image, options->versionText, options->faults), options->server);
    if (options->tcpAddress) {
        if (!server.listenTcp(*options->tcpAddress, options->tcpPort, error)) {
            std::cerr << "telvor-sim: " << error << "\n";
            return 1;
        }
        std::cout << "listening on " << server.address() << ':' << server.port() << std::endl;
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
