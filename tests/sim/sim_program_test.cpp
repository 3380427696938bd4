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
class SimProcess : public SimChildProcess {
public:
    explicit SimProcess(std::vector<std::string> arguments)
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
    SimProcess sim({"--tcp", "0", "--version-text", "v2.5"});
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
    SimProcess sim(
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

TEST(SimProgram, PseudoTerminalServesClientsInSequenceAndRemovesItsLink)
{
    const fs::path directory = freshDirectory("pty");
    const fs::path link = directory / "ttyTelvor";
    SimProcess sim({"--pty", link.string(), "--version-text", "v2.8E", "--save", (directory / "saved.tvr").string()});
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
    SimProcess sim({"--pty", link.string(), "--baud", "9600"});
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

TEST(SimProgram, BadOptionEndsWithStatusTwo)
{
    SimProcess sim({"--tcp", "0", "--fault-at", "x"});
    EXPECT_EQ(sim.firstLine(), "");
    EXPECT_EQ(sim.endWith(0), 2);
}

} // namespace
} // namespace telvor
