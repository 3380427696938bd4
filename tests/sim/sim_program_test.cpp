// The telvor-sim program itself: its first line, its transports, saving and
// ending on a signal.
#include "peer.h"
#include "support/build_folder.h"
#include "support/sim_child_process.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>

namespace telvor {
namespace {

using namespace std::chrono_literals;
using testing_peer::Peer;
namespace fs = std::filesystem;

// The program of this build folder, its error output silenced: some tests
// make it fail on purpose.
class LoopbackSim : public SimChildProcess {
public:
    explicit LoopbackSim(std::vector<std::string> arguments)
        : SimChildProcess(test_support::builtProgram("telvor-sim"), std::move(arguments), ErrorOutput::silenced())
    {
    }
};

fs::path freshDirectory(const std::string& name)
{
    const fs::path directory
        = fs::temp_directory_path() / ("telvor-sim-test-" + std::to_string(::getpid()) + "-" + name);
    fs::remove_all(directory);
    fs::create_directories(directory);
    return directory;
}

std::string fileBytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

TEST(SimProgram, FirstLineNamesTheFreePortItListensOn)
{
    LoopbackSim sim({"--tcp", "0", "--version-text", "v2.5"});
    std::smatch match;
    const std::string line = sim.firstLine();
    ASSERT_TRUE(std::regex_match(line, match, std::regex("listening on 127\\.0\\.0\\.1:([0-9]+)"))) << line;
    Peer peer = Peer::tcp(std::stoi(match[1]));
    peer.send("VER?\r");
    EXPECT_EQ(peer.readUntilEnd("5\r"), "OK\rv2.5\r");
    EXPECT_EQ(sim.endWith(SIGINT), 0);
}

TEST(SimProgram, ImageFileIsReadAndSavedAfterEveryConnection)
{
    const fs::path directory = freshDirectory("image");
    std::string start(100, '\0');
    start.replace(0, 4, "4321");
    std::ofstream(directory / "start.tvr", std::ios::binary) << start;
    LoopbackSim sim(
        {"--tcp", "0", "--image", (directory / "start.tvr").string(), "--save", (directory / "saved.tvr").string()});
    std::smatch match;
    const std::string line = sim.firstLine();
    ASSERT_TRUE(std::regex_match(line, match, std::regex("listening on 127\\.0\\.0\\.1:([0-9]+)"))) << line;
    Peer peer = Peer::tcp(std::stoi(match[1]));
    peer.send("SET?\r");
    EXPECT_TRUE(peer.readUntilEnd("\rOK\r").starts_with("PIN=4321\r"));
    peer.send("TRPT=258\r");
    EXPECT_EQ(peer.readUntilEnd("OK\r"), "OK\r");
    peer.close();
    Peer next = Peer::tcp(std::stoi(match[1]));
    next.send("HALT!\r");
    ASSERT_EQ(next.readUntilEnd("OK\r"), "OK\r");
    const std::string saved = fileBytes(directory / "saved.tvr");
    ASSERT_EQ(saved.size(), 3608u);
    std::string expected(3608, '\0');
    expected.replace(0, 4, "4321");
    expected[104] = 2;
    expected[105] = 1;
    EXPECT_EQ(saved, expected);
    EXPECT_EQ(sim.endWith(SIGTERM), 0);
    fs::remove_all(directory);
}

TEST(SimProgram, DevicesListenOnePerLineSaveByPortAndCountTheirConnections)
{
    const fs::path directory = freshDirectory("devices");
    std::ofstream(directory / "start.tvr", std::ios::binary) << "4321";
    LoopbackSim sim({"--tcp", "0", "--devices", "3", "--image", (directory / "start.tvr").string(), "--save",
                     directory.string(), "--for", "2", "--silent", "VER?"});
    std::vector<int> ports;
    for (int device = 0; device < 3; ++device) {
        std::smatch match;
        const std::string line = device == 0 ? sim.firstLine() : sim.nextLine();
        ASSERT_TRUE(std::regex_match(line, match, std::regex("listening on 127\\.0\\.0\\.1:([0-9]+)"))) << line;
        ports.push_back(std::stoi(match[1]));
    }
    const auto file = [&](int device, const char* extension) {
        return directory / (std::to_string(ports[static_cast<std::size_t>(device)]) + extension);
    };
    {
        Peer first = Peer::tcp(ports[0]);
        first.send("PIN=1234\r");
        EXPECT_EQ(first.readUntilEnd("OK\r"), "OK\r");
        EXPECT_EQ(fileBytes(file(0, ".connections")), "1\n");
    }
    Peer again = Peer::tcp(ports[0]);
    again.send("HALT!\r");
    ASSERT_EQ(again.readUntilEnd("OK\r"), "OK\r");
    EXPECT_EQ(fileBytes(file(0, ".connections")), "2\n");
    EXPECT_EQ(fileBytes(file(0, ".tvr")).substr(0, 5), std::string("1234\0", 5));
    Peer second = Peer::tcp(ports[1]);
    second.send("VER?\r");
    EXPECT_TRUE(second.quietFor(100ms));
    second.close();
    Peer third = Peer::tcp(ports[2]);
    third.send("VER?\r");
    EXPECT_EQ(third.readUntilEnd("E\r"), "OK\rv3.6E\r");
    third.close();
    EXPECT_EQ(sim.endWith(SIGTERM), 0);
    EXPECT_EQ(fileBytes(file(1, ".connections")), "1\n");
    EXPECT_EQ(fileBytes(file(2, ".tvr")).substr(0, 5), std::string("4321\0", 5));
    EXPECT_EQ(fileBytes(file(2, ".connections")), "1\n");
    EXPECT_EQ(fs::file_size(file(2, ".tvr")), 3608u);
    fs::remove_all(directory);
}

TEST(SimProgram, PseudoTerminalServesClientsInSequenceAndRemovesItsLink)
{
    const fs::path directory = freshDirectory("pty");
    const fs::path link = directory / "ttyTelvor";
    LoopbackSim sim({"--pty", link.string(), "--version-text", "v2.8E", "--save", (directory / "saved.tvr").string()});
    std::smatch match;
    const std::string line = sim.firstLine();
    ASSERT_TRUE(std::regex_match(line, match, std::regex("pty (.+) -> (/dev/pts/[0-9]+)"))) << line;
    EXPECT_EQ(match[1], link.string());
    EXPECT_EQ(fs::read_symlink(link), fs::path(match[2].str()));
    {
        Peer terminal = Peer::terminal(link.string());
        ASSERT_TRUE(terminal.valid());
        terminal.send("VER?\r");
        EXPECT_EQ(terminal.readUntilEnd("E\r"), "OK\rv2.8E\r");
        terminal.send("PIN=1 2 NUM0=3 NUM1=4\r");
        EXPECT_EQ(terminal.readUntilEnd("OK\r"), "OK\r");
    }
    Peer terminal = Peer::terminal(link.string());
    terminal.send("SET?\r");
    const std::string answer = terminal.readUntilEnd("\rOK\r");
    EXPECT_TRUE(answer.starts_with("PIN=1 2\rNUM0=3\rNUM1=4\r")) << answer;
    EXPECT_EQ(fileBytes(directory / "saved.tvr").substr(0, 4), std::string("1 2\0", 4));
    terminal.close();
    EXPECT_EQ(sim.endWith(SIGTERM), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    fs::remove_all(directory);
}

TEST(SimProgram, PseudoTerminalAtSerialSpeedPacesTheReply)
{
    const fs::path directory = freshDirectory("baud");
    const fs::path link = directory / "ttyTelvor";
    LoopbackSim sim({"--pty", link.string(), "--baud", "9600"});
    ASSERT_TRUE(sim.firstLine().starts_with("pty "));
    Peer terminal = Peer::terminal(link.string());
    const auto sent = std::chrono::steady_clock::now();
    terminal.send("SMS?\r");
    const std::string answer = terminal.readUntilEnd("\rOK\r");
    EXPECT_TRUE(answer.starts_with("SMS0=\rSMS1=\r")) << answer;
    EXPECT_GE(std::chrono::steady_clock::now() - sent,
              std::chrono::nanoseconds(std::chrono::seconds(10)) / 9600 * (answer.size() + 4));
    terminal.close();
    EXPECT_EQ(sim.endWith(SIGINT), 0);
    fs::remove_all(directory);
}

TEST(SimProgram, ListeningPortIsReadOnlyFromAWholeFirstLine)
{
    EXPECT_EQ(listeningPort("listening on 127.0.0.1:2323"), 2323);
    EXPECT_EQ(listeningPort("listening on 127.0.0.1:65535"), 65535);
    EXPECT_EQ(listeningPort("listening on 127.0.0.1:"), 0);
    EXPECT_EQ(listeningPort("listening on 127.0.0.1:65536"), 0);
    EXPECT_EQ(listeningPort("listening on 127.0.0.1:23x"), 0);
    EXPECT_EQ(listeningPort("pty /tmp/ttyTelvor -> /dev/pts/3"), 0);
    EXPECT_EQ(listeningPort(""), 0);
}

TEST(SimProgram, SaveFolderThatIsNoFolderEndsWithStatusOne)
{
    const fs::path directory = freshDirectory("save-file");
    std::ofstream(directory / "file") << "x";
    LoopbackSim sim({"--tcp", "0", "--devices", "2", "--save", (directory / "file").string()});
    EXPECT_EQ(sim.firstLine(), "");
    EXPECT_EQ(sim.endWith(0), 1);
    fs::remove_all(directory);
}

TEST(SimProgram, BadOptionEndsWithStatusTwo)
{
    LoopbackSim sim({"--tcp", "0", "--fault-at", "x"});
    EXPECT_EQ(sim.firstLine(), "");
    EXPECT_EQ(sim.endWith(0), 2);
}

} // namespace
} // namespace telvor
