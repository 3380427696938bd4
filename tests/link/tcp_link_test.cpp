// The TCP link against a scripted peer behind a loopback listener.
#include "link/device_link.h"

#include "conversation.h"
#include "scripted_peer.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <filesystem>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace telvor {
namespace {

using namespace test;

std::size_t openDescriptorCount()
{
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator("/proc/self/fd"), std::filesystem::directory_iterator{}));
}

sockaddr_in loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

int boundPort(int descriptor)
{
    sockaddr_in address{};
    socklen_t length = sizeof address;
    ::getsockname(descriptor, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

// A loopback listener on a free port.
int listenOnLoopback(int backlog, int& port)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = loopback(0);
    if (::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        || ::listen(listener, backlog) != 0) {
        ::close(listener);
        return -1;
    }
    port = boundPort(listener);
    return listener;
}

class TcpLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_listener = listenOnLoopback(4, m_port);
        ASSERT_GE(m_listener, 0);
        link.endpoint = TcpEndpoint{"127.0.0.1", static_cast<std::uint16_t>(m_port)};
        link.timing = Timing{}.scaledDown(10);
    }

    void TearDown() override
    {
        link.close();
        ::close(m_listener);
    }

    void setPort(int port) { std::get<TcpEndpoint>(link.endpoint).port = static_cast<std::uint16_t>(port); }

    DeviceLink link;
    int m_listener = -1;
    int m_port = 0;
};

// The reply text that an opening "VER?" leaves; a test that expects it
// afterwards shows that its command left the text alone.
constexpr const char* kEarlier = "earlier";
const PeerStep kEarlierVersion = replyWith("OK\rearlier\r");
const Exchange kOpeningVersion = command("VER?", CommandResult::Acknowledged, kEarlier);

TEST_F(TcpLinkTest, CommandSendsTheTextAndOneCarriageReturnOnly)
{
    ScriptedPeer device(m_listener, {kEarlierVersion, replyWith("OK\r")}, true);
    ASSERT_EQ(link.open(), OpenResult::Opened);
    const std::string sent
        = runExchanges(link, device, {kOpeningVersion, command("DEBUG=0", CommandResult::Acknowledged, kEarlier)});
    EXPECT_EQ(link.answer(), "OK\r");
    link.close();
    EXPECT_EQ(device.finish(), sent);
    EXPECT_EQ(sent, "VER?\rDEBUG=0\r");
}

class TcpCommandReplyTest : public TcpLinkTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(TcpCommandReplyTest, GivesResultAndReplyText)
{
    const CommandCase& row = GetParam();
    ScriptedPeer device(m_listener, {kEarlierVersion, PeerStep{row.reply}}, true);
    ASSERT_EQ(link.open(), OpenResult::Opened);
    const std::string sent
        = runExchanges(link, device, {kOpeningVersion, command(row.command, row.result, row.replyText)});
    link.close();
    EXPECT_EQ(device.finish(), sent);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, TcpCommandReplyTest,
    ::testing::Values(
        CommandCase{"Acknowledged", "HALT!", {{0ms, "OK\r"}}, CommandResult::Acknowledged, kEarlier},
        CommandCase{
            "AcknowledgementInPieces", "HALT!", {{0ms, "O"}, {20ms, "K\r"}}, CommandResult::Acknowledged, kEarlier},
        CommandCase{
            "AcknowledgementAfterAnotherLine", "HALT!", {{0ms, "X=1\rOK\r"}}, CommandResult::Acknowledged, kEarlier},
        CommandCase{"ErrorLineRunsOutOfTime", "ICFG1=1", {{0ms, "ERROR\r"}}, CommandResult::TimedOut, kEarlier},
        CommandCase{
            "AcknowledgementFollowedByTextRunsOutOfTime", "HALT!", {{0ms, "OK\rx"}}, CommandResult::TimedOut, kEarlier},
        CommandCase{"NothingReceivedRunsOutOfTime", "HALT!", {}, CommandResult::TimedOut, kEarlier},
        CommandCase{"VersionText", "VER?", {{0ms, "OK\rv2.8E\r"}}, CommandResult::Acknowledged, "v2.8E"},
        CommandCase{
            "VersionInPieces", "VER?", {{0ms, "OK\rv2"}, {20ms, ".8E\r"}}, CommandResult::Acknowledged, "v2.8E"},
        CommandCase{"VersionFirstPieceAloneIsComplete",
                    "VER?",
                    {{0ms, "OK\r"}, {100ms, "v2.8E\r"}},
                    CommandResult::Acknowledged,
                    ""},
        CommandCase{"VersionTextEndsAtItsFirstCarriageReturn",
                    "VER?",
                    {{0ms, "OK\rv3.6\x01\rmore\r"}},
                    CommandResult::Acknowledged,
                    "v3.6 "},
        CommandCase{
            "VersionNotBeginningWithAcknowledgement", "VER?", {{0ms, "ERR\rOK\r"}}, CommandResult::TimedOut, kEarlier},
        CommandCase{
            "VersionWithoutClosingCarriageReturn", "VER?", {{0ms, "OK\rv2.8E"}}, CommandResult::TimedOut, kEarlier}),
    test_support::RowName());

TEST_F(TcpLinkTest, CommandOutOfTimeKeepsTheConnectionOpen)
{
    ScriptedPeer device(m_listener, {replyWith("ERROR\r"), replyWith("OK\r")}, true);
    ASSERT_EQ(link.open(), OpenResult::Opened);
    EXPECT_EQ(link.sendCommand("ICFG1=1"), CommandResult::TimedOut);
    EXPECT_EQ(link.sendCommand("HALT!"), CommandResult::Acknowledged);
    link.close();
    EXPECT_EQ(device.finish(), "ICFG1=1\rHALT!\r");
}

TEST_F(TcpLinkTest, StaleInputIsDroppedBeforeACommand)
{
    std::string received;
    link.onTraffic = [&](DeviceLink::Direction direction, std::string_view bytes) {
        if (direction == DeviceLink::Direction::Received)
            received.append(bytes);
    };
    ScriptedPeer device(m_listener, {PeerStep{{{0ms, "OK\r"}, {30ms, "OK\r"}}}, PeerStep{}}, true);
    ASSERT_EQ(link.open(), OpenResult::Opened);
    ASSERT_EQ(link.sendCommand("HALT!"), CommandResult::Acknowledged);
    device.waitForSteps(1);
    EXPECT_EQ(link.sendCommand("HALT!"), CommandResult::TimedOut);
    EXPECT_EQ(received, "OK\rOK\r");
}

TEST_F(TcpLinkTest, StaleInputIsKeptBeforeAQuery)
{
    ScriptedPeer device(m_listener, {PeerStep{{{0ms, "OK\r"}, {30ms, "SMS0=abc\rOK\r"}}}, PeerStep{}}, true);
    ASSERT_EQ(link.open(), OpenResult::Opened);
    ASSERT_EQ(link.sendCommand("HALT!"), CommandResult::Acknowledged);
    device.waitForSteps(1);
    EXPECT_EQ(link.sendQuery("SMS?"), QueryResult::Answered);
    EXPECT_EQ(link.answer(), "SMS0=abc\rOK\r");
}

struct QueryCase {
    const char* name;
    PeerStep step;
    QueryResult result;
    const char* answer;
};

class TcpQueryAnswerTest : public TcpLinkTest, public ::testing::WithParamInterface<QueryCase> {};

TEST_P(TcpQueryAnswerTest, GivesResultAndAnswer)
{
    const QueryCase& row = GetParam();
    ScriptedPeer device(m_listener, {row.step}, true);
    ASSERT_EQ(link.open(), OpenResult::Opened);
    EXPECT_EQ(link.sendQuery("SET?"), row.result);
    EXPECT_EQ(link.answer(), row.answer);
    link.close();
    EXPECT_EQ(device.finish(), "SET?\r");
}

INSTANTIATE_TEST_SUITE_P(
    Answers, TcpQueryAnswerTest,
    ::testing::Values(
        QueryCase{"Complete", replyWith("PIN=1234\rTRPT=5\rOK\r"), QueryResult::Answered, "PIN=1234\rTRPT=5\rOK\r"},
        QueryCase{"CompleteInPieces", PeerStep{{{0ms, "PIN=1234\rO"}, {20ms, "K\r"}}}, QueryResult::Answered,
                  "PIN=1234\rOK\r"},
        QueryCase{"PartialAnswerAtTheTimeLimitIsSuccess", replyWith("PIN=1234\rTRPT="), QueryResult::Answered,
                  "PIN=1234\rTRPT="},
        QueryCase{"AcknowledgementAloneRunsToTheTimeLimit", replyWith("OK\r"), QueryResult::Answered, "OK\r"},
        QueryCase{"NothingReceived", PeerStep{}, QueryResult::NoAnswer, ""},
        QueryCase{"ClosedWithoutAnswer", PeerStep{{}, PeerStep::End::Close}, QueryResult::NoAnswer, ""},
        QueryCase{"ClosedAfterPartOfTheAnswer", PeerStep{{{0ms, "PIN=1"}}, PeerStep::End::Close}, QueryResult::NoAnswer,
                  "PIN=1"}),
    test_support::RowName());

TEST_F(TcpLinkTest, CommandToAClosedConnectionFindsItClosed)
{
    ScriptedPeer device(m_listener, {PeerStep{{}, PeerStep::End::Close}}, true);
    ASSERT_EQ(link.open(), OpenResult::Opened);
    EXPECT_EQ(link.sendCommand("HALT!"), CommandResult::ConnectionClosed);
}

TEST_F(TcpLinkTest, SendingToAResetConnectionDoesNotRaiseSigpipe)
{
    ASSERT_EQ(link.open(), OpenResult::Opened);
    const int accepted = ::accept(m_listener, nullptr, nullptr);
    ASSERT_GE(accepted, 0);
    const linger abortive{1, 0};
    ::setsockopt(accepted, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
    ::close(accepted);
    EXPECT_EQ(link.sendCommand("HALT!"), CommandResult::NotSent);
    EXPECT_EQ(link.sendQuery("SET?"), QueryResult::NotSent);
}

TEST_F(TcpLinkTest, FullAnswerBufferIsNotTakenForAClosedConnection)
{
    ScriptedPeer device(m_listener, {replyWith(std::string(5000, 'A')), replyWith(std::string(4096, 'B'))}, true);
    ASSERT_EQ(link.open(), OpenResult::Opened);
    EXPECT_EQ(link.sendQuery("SET?"), QueryResult::Answered);
    EXPECT_EQ(link.answer(), std::string(4096, 'A'));
    device.waitForSteps(1);
    EXPECT_EQ(link.sendCommand("HALT!"), CommandResult::TimedOut);
    EXPECT_EQ(link.answer(), std::string(4096, 'B'));
}

TEST_F(TcpLinkTest, TrafficAndKeepAlive)
{
    std::string sent;
    int calls = 0;
    link.onTraffic = [&](DeviceLink::Direction direction, std::string_view bytes) {
        if (direction == DeviceLink::Direction::Sent)
            sent.append(bytes);
    };
    link.keepAlive = [&] { ++calls; };
    ScriptedPeer device(m_listener, {PeerStep{}}, true);
    ASSERT_EQ(link.open(), OpenResult::Opened);
    EXPECT_EQ(link.sendCommand("RCNT!"), CommandResult::TimedOut);
    EXPECT_EQ(sent, "RCNT!\r");
    EXPECT_GT(calls, 0);
    link.keepAlive = nullptr;
}

TEST_F(TcpLinkTest, RefusedConnectionIsNotConnectedAndKeepsNoSocket)
{
    const int unused = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = loopback(0);
    ASSERT_EQ(::bind(unused, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    setPort(boundPort(unused));
    const std::size_t descriptors = openDescriptorCount();
    EXPECT_EQ(link.open(), OpenResult::NotConnected);
    EXPECT_EQ(openDescriptorCount(), descriptors);
    ::close(unused);
}

TEST_F(TcpLinkTest, ConnectionNeverConfirmedIsNotConnectedAndKeepsNoSocket)
{
    int port = 0;
    const int listener = listenOnLoopback(0, port);
    ASSERT_GE(listener, 0);
    // Fill the listener's queue until a connection is no longer confirmed:
    // from then on every new connection attempt is left unanswered.
    std::vector<int> fillers;
    const sockaddr_in address = loopback(port);
    for (bool confirmed = true; confirmed && fillers.size() < 16;) {
        const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        fillers.push_back(filler);
        ::connect(filler, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        pollfd watched{filler, POLLOUT, 0};
        confirmed = ::poll(&watched, 1, 200) == 1;
    }
    setPort(port);
    const std::size_t descriptors = openDescriptorCount();
    EXPECT_EQ(link.open(), OpenResult::NotConnected);
    EXPECT_EQ(openDescriptorCount(), descriptors);
    for (int filler : fillers)
        ::close(filler);
    ::close(listener);
}

class TcpAddressTest : public TcpLinkTest, public ::testing::WithParamInterface<std::string> {};

// Each is refused although a listener waits on the port, and only once the
// connection time is over.
TEST_P(TcpAddressTest, AddressThatIsNotDottedDecimalCannotConnect)
{
    std::get<TcpEndpoint>(link.endpoint).host = GetParam();
    link.timing.tcpConnect = Milliseconds{100};
    const std::size_t descriptors = openDescriptorCount();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(link.open(), OpenResult::NotConnected);
    EXPECT_GE(std::chrono::steady_clock::now() - start, link.timing.tcpConnect);
    EXPECT_EQ(openDescriptorCount(), descriptors);
}

INSTANTIATE_TEST_SUITE_P(Addresses, TcpAddressTest,
                         ::testing::Values("localhost", "127.1", "", "127.0.0.1.5", "::1", " 127.0.0.1", "0x7f.0.0.1",
                                           std::string(1024, '1'), std::string("127.0.0.1\0junk", 14)));

} // namespace
} // namespace telvor
