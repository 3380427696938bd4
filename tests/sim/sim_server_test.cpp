#include "peer.h"
#include "sim/sim_server.h"

#include <gtest/gtest.h>

#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

namespace telvor {
namespace {

using namespace std::chrono_literals;
using testing_peer::Peer;
using Clock = std::chrono::steady_clock;

ServerOptions serverOptions(void (*set)(ServerOptions&))
{
    ServerOptions options;
    set(options);
    return options;
}

bool heldAnswer(const std::string& bytes)
{
    return bytes.ends_with("\rOK\r");
}

TEST(SimServer, ServesConnectionsInSequenceOnOneImage)
{
    SimServer server(VirtualDevice({}, "v2.8E"));
    ASSERT_TRUE(server.start());
    {
        Peer first = Peer::tcp(server.port());
        ASSERT_TRUE(first.valid());
        first.send("HALT!\rPIN=7 7 NUM0= NUM1=\r");
        EXPECT_EQ(first.readUntilEnd("OK\rOK\r"), "OK\rOK\r");
    }
    Peer second = Peer::tcp(server.port());
    second.send("VER?\r");
    EXPECT_EQ(second.readUntilEnd("E\r"), "OK\rv2.8E\r");
    second.send("SET?\r");
    const std::string answer = second.readUntil(heldAnswer);
    EXPECT_TRUE(answer.starts_with("PIN=7 7\rNUM0=\rNUM1=\r")) << answer;
    EXPECT_EQ(server.image().text(*slotByName("PIN")), "7 7");
    EXPECT_EQ(server.receivedLines(), (std::vector<std::string>{"HALT!", "PIN=7 7 NUM0= NUM1=", "VER?", "SET?"}));
}

TEST(SimServer, NextClientIsServedOnceThePreviousOneLeaves)
{
    SimServer server(VirtualDevice{});
    ASSERT_TRUE(server.start());
    Peer first = Peer::tcp(server.port());
    first.send("HALT!\r");
    ASSERT_EQ(first.readUntilEnd("OK\r"), "OK\r");
    Peer second = Peer::tcp(server.port());
    ASSERT_TRUE(second.valid());
    second.send("HALT!\r");
    EXPECT_TRUE(second.quietFor(200ms));
    first.close();
    EXPECT_EQ(second.readUntilEnd("OK\r"), "OK\r");
}

TEST(SimServer, ClientThatLeavesBeforeItsAnswerDoesNotStopTheServer)
{
    SimServer server(VirtualDevice{});
    ASSERT_TRUE(server.start());
    for (int client = 0; client < 5; ++client) {
        Peer hasty = Peer::tcp(server.port());
        hasty.send("SET?\rSMS?\rXCFG?\r");
    }
    Peer patient = Peer::tcp(server.port());
    patient.send("HALT!\r");
    EXPECT_EQ(patient.readUntilEnd("OK\r"), "OK\r");
}

TEST(SimServer, DropAfterClosesTheConnectionAfterTheAnsweredLine)
{
    DeviceFaults faults;
    faults.dropAfter = 2;
    SimServer server(VirtualDevice({}, "v3.6E", faults));
    ASSERT_TRUE(server.start());
    Peer peer = Peer::tcp(server.port());
    peer.send("HALT!\rDEBUG=0\rHALT!\r");
    EXPECT_EQ(peer.readUntil([](const std::string&) { return false; }), "OK\rOK\r");
    EXPECT_TRUE(peer.closedByFarEnd());
    Peer next = Peer::tcp(server.port());
    next.send("HALT!\r");
    EXPECT_EQ(next.readUntilEnd("OK\r"), "OK\r");
}

TEST(SimServer, FaultAtCloseEndsTheConnectionWithoutReply)
{
    DeviceFaults faults;
    faults.faultsAt[2] = LineFault::Close;
    SimServer server(VirtualDevice({}, "v3.6E", faults));
    ASSERT_TRUE(server.start());
    Peer peer = Peer::tcp(server.port());
    peer.send("HALT!\rTRPT=4\r");
    EXPECT_EQ(peer.readUntil([](const std::string&) { return false; }), "OK\r");
    EXPECT_TRUE(peer.closedByFarEnd());
    EXPECT_EQ(server.image().number(*slotByName("TRPT")), 0);
}

TEST(SimServer, ChunkedVersionReplyNeverLooksCompleteBeforeItsText)
{
    SimServer server(VirtualDevice({}, "v2.8E"), serverOptions([](ServerOptions& options) { options.chunked = true; }));
    ASSERT_TRUE(server.start());
    Peer peer = Peer::tcp(server.port());
    for (int round = 0; round < 20; ++round) {
        peer.send("VER?\r");
        const std::string reply = peer.readUntil([](const std::string& bytes) {
            // A TCP reader takes "OK" CR followed by bytes ending in CR as whole.
            return bytes.size() >= 3 && bytes.starts_with("OK\r") && bytes.ends_with('\r');
        });
        EXPECT_EQ(reply, "OK\rv2.8E\r") << "round " << round;
    }
}

TEST(SimServer, ChunkedAnswerComesInManySmallPiecesAndWhole)
{
    SimServer server(VirtualDevice({}, "v3.6E"), serverOptions([](ServerOptions& options) { options.chunked = true; }));
    ASSERT_TRUE(server.start());
    Peer peer = Peer::tcp(server.port());
    peer.send("SET?\r");
    const std::string answer = peer.readUntil(heldAnswer);
    VirtualDevice same({}, "v3.6E");
    EXPECT_EQ(answer, same.handleLine("SET?").bytes);
    EXPECT_GT(peer.pieces().size(), 10u);
}

TEST(SimServer, LatencyComesBeforeEachReply)
{
    SimServer server(VirtualDevice{}, serverOptions([](ServerOptions& options) { options.latency = 150ms; }));
    ASSERT_TRUE(server.start());
    Peer peer = Peer::tcp(server.port());
    const auto sent = Clock::now();
    peer.send("HALT!\r");
    EXPECT_EQ(peer.readUntilEnd("OK\r"), "OK\r");
    EXPECT_GE(Clock::now() - sent, 150ms);
}

TEST(SimServer, SerialSpeedPacesTheAnswerAndTheLinesReceived)
{
    constexpr int kBaud = 9600;
    const auto byteTime = std::chrono::nanoseconds(std::chrono::seconds(10)) / kBaud;
    SimServer server(VirtualDevice{}, serverOptions([](ServerOptions& options) { options.baud = kBaud; }));
    ASSERT_TRUE(server.start());
    Peer peer = Peer::tcp(server.port());
    auto sent = Clock::now();
    peer.send("SMS?\r");
    const std::string answer = peer.readUntil(heldAnswer);
    EXPECT_TRUE(heldAnswer(answer));
    EXPECT_GE(Clock::now() - sent, byteTime * (answer.size() - 1));

    const std::string body = "SMS1=" + std::string(155, 'b') + "\r";
    sent = Clock::now();
    peer.send(body);
    EXPECT_EQ(peer.readUntilEnd("OK\r"), "OK\r");
    EXPECT_GE(Clock::now() - sent, byteTime * (body.size() + 2));
}

TEST(SimServer, StopEndsServing)
{
    SimServer server(VirtualDevice{});
    ASSERT_TRUE(server.start());
    const int port = server.port();
    server.stop();
    EXPECT_FALSE(Peer::tcp(port).valid() && Peer::tcp(port).readUntilEnd("OK\r", 100ms) == "OK\r");
}

std::vector<VirtualDevice> devices(int count, const DeviceFaults& lastFaults = {})
{
    std::vector<VirtualDevice> made;
    for (int number = 1; number <= count; ++number)
        made.emplace_back(SettingsImage{}, "v3.6E", number == count ? lastFaults : DeviceFaults{});
    return made;
}

TEST(SimServerDevices, EachDeviceKeepsItsOwnImageConnectionsAndFaults)
{
    DeviceFaults silent;
    silent.silentPrefixes = {"VER?"};
    SimServer server(devices(3, silent), serverOptions([](ServerOptions& options) { options.latency = 20ms; }));
    ASSERT_TRUE(server.start());
    ASSERT_EQ(server.deviceCount(), 3u);
    EXPECT_NE(server.port(0), server.port(1));
    EXPECT_NE(server.port(1), server.port(2));
    // The first device holds its connection while the others are served,
    // each on its own schedule.
    Peer first = Peer::tcp(server.port(0));
    first.send("TRPT=7\r");
    Peer second = Peer::tcp(server.port(1));
    second.send("TRPT=9\r");
    EXPECT_EQ(second.readUntilEnd("OK\r"), "OK\r");
    EXPECT_EQ(first.readUntilEnd("OK\r"), "OK\r");
    second.close();
    Peer secondAgain = Peer::tcp(server.port(1));
    secondAgain.send("VER?\r");
    EXPECT_EQ(secondAgain.readUntilEnd("E\r"), "OK\rv3.6E\r");
    Peer third = Peer::tcp(server.port(2));
    third.send("VER?\r");
    EXPECT_TRUE(third.quietFor(150ms));
    EXPECT_EQ(server.image(0).number(*slotByName("TRPT")), 7);
    EXPECT_EQ(server.image(1).number(*slotByName("TRPT")), 9);
    EXPECT_EQ(server.image(2).number(*slotByName("TRPT")), 0);
    EXPECT_EQ(server.connectionCount(0), 1);
    EXPECT_EQ(server.connectionCount(1), 2);
    EXPECT_EQ(server.connectionCount(2), 1);
    EXPECT_EQ(server.receivedLines(2), std::vector<std::string>{"VER?"});
    server.stop();
}

// A port that was free a moment ago.
int freePort()
{
    SimServer probe(devices(1));
    std::string error;
    return probe.listenTcp("127.0.0.1", 0, error) ? probe.port() : 0;
}

TEST(SimServerDevices, ConsecutivePortsFollowTheFirst)
{
    // The ports after a free one may be another program's: a few tries.
    for (int attempt = 0; attempt < 10; ++attempt) {
        const int first = freePort();
        ASSERT_GT(first, 0);
        if (first > 65533)
            continue;
        SimServer server(devices(3));
        std::string error;
        if (!server.listenTcp("127.0.0.1", first, error))
            continue;
        EXPECT_EQ(server.port(0), first);
        EXPECT_EQ(server.port(1), first + 1);
        EXPECT_EQ(server.port(2), first + 2);
        return;
    }
    FAIL() << "no three free ports in a row";
}

std::string linkPath(const std::string& name)
{
    return (std::filesystem::temp_directory_path() / ("telvor-sim-" + name + "-" + std::to_string(::getpid())))
        .string();
}

TEST(SimServerPty, ExclusiveClientDoesNotKeepTheNextOneOut)
{
    SimServer server(VirtualDevice({}, "v2.6"));
    std::string error;
    const std::string link = linkPath("exclusive");
    ASSERT_TRUE(server.startPty(link, error)) << error;
    {
        Peer first = Peer::terminal(link);
        ASSERT_TRUE(first.valid());
        ASSERT_EQ(::ioctl(first.descriptor(), TIOCEXCL), 0);
        first.send("TRPT=6\r");
        EXPECT_EQ(first.readUntilEnd("OK\r"), "OK\r");
    }
    Peer second = Peer::terminal(link);
    ASSERT_TRUE(second.valid());
    second.send("VER?\r");
    EXPECT_EQ(second.readUntilEnd("6\r"), "OK\rv2.6\r");
    int exclusive = 1;
    ASSERT_EQ(::ioctl(second.descriptor(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    EXPECT_EQ(server.image().number(*slotByName("TRPT")), 6);
    second.close();
    server.stop();
}

TEST(SimServerPty, CloseFaultLeavesTheDeviceMuteUntilThePortIsClosed)
{
    DeviceFaults faults;
    faults.faultsAt[2] = LineFault::Close;
    SimServer server(VirtualDevice({}, "v3.6E", faults));
    std::string error;
    const std::string link = linkPath("close");
    ASSERT_TRUE(server.startPty(link, error)) << error;
    {
        Peer first = Peer::terminal(link);
        first.send("HALT!\rHALT!\r");
        EXPECT_EQ(first.readUntilEnd("OK\r"), "OK\r");
        EXPECT_TRUE(first.quietFor(100ms));
        first.send("HALT!\r");
        EXPECT_TRUE(first.quietFor(100ms));
    }
    Peer second = Peer::terminal(link);
    second.send("HALT!\r");
    EXPECT_EQ(second.readUntilEnd("OK\r"), "OK\r");
    second.close();
    server.stop();
}

} // namespace
} // namespace telvor
