// The TCP link against a scripted peer behind a loopback listener.
#include "link/device_link.h"

#include "conversation.h"
#include "scripted_peer.h"
#include "support/closed_loopback_port.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace telvor {
namespace {

using namespace test;

std::size_t openDescriptorCount()
{
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator("/proc/self/fd"), std::filesystem::directory_iterator{}));
}

sockaddr_in loopback(int port, const char* address = "127.0.0.1")
{
    sockaddr_in socketAddress{};
    socketAddress.sin_family = AF_INET;
    socketAddress.sin_port = htons(static_cast<std::uint16_t>(port));
    ::inet_pton(AF_INET, address, &socketAddress.sin_addr);
    return socketAddress;
}

int boundPort(int descriptor)
{
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    ::getsockname(descriptor, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6&>(address).sin6_port
                                               : reinterpret_cast<sockaddr_in&>(address).sin_port);
}

// A listener on `address` (IPv4) and `port`, a free one when 0.
int listenOn(const char* address, int backlog, int& port)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in bound = loopback(port, address);
    if (::bind(listener, reinterpret_cast<const sockaddr*>(&bound), sizeof bound) != 0
        || ::listen(listener, backlog) != 0) {
        ::close(listener);
        return -1;
    }
    port = boundPort(listener);
    return listener;
}

// A loopback listener on a free port.
int listenOnLoopback(int backlog, int& port)
{
    return listenOn("127.0.0.1", backlog, port);
}

// A listener on the IPv6 loopback address, -1 where the system has none.
int listenOnIpv6Loopback(int& port)
{
    const int listener = ::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in6 address{};
    address.sin6_family = AF_INET6;
    address.sin6_addr = in6addr_loopback;
    if (listener < 0 || ::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        || ::listen(listener, 4) != 0) {
        ::close(listener);
        return -1;
    }
    port = boundPort(listener);
    return listener;
}

// A listener on `address` and `port` that never confirms another
// connection: its queue is filled until a connection is no longer
// confirmed, and from then on every new attempt is left unanswered. The
// fillers stay open as long as the listener.
class SilentListener {
public:
    SilentListener(const char* address, int port)
        : m_port(port)
        , m_listener(listenOn(address, 0, m_port))
    {
        const sockaddr_in target = loopback(m_port, address);
        for (bool confirmed = m_listener >= 0; confirmed && m_fillers.size() < 16;) {
            const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            m_fillers.push_back(filler);
            ::connect(filler, reinterpret_cast<const sockaddr*>(&target), sizeof target);
            pollfd watched{filler, POLLOUT, 0};
            confirmed = ::poll(&watched, 1, 200) == 1;
        }
    }
    ~SilentListener()
    {
        for (const int filler : m_fillers)
            ::close(filler);
        ::close(m_listener);
    }
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;

    bool listening() const { return m_listener >= 0; }
    int port() const { return m_port; }

private:
    int m_port;
    int m_listener;
    std::vector<int> m_fillers;
};

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
    const SilentListener silent("127.0.0.1", 0);
    ASSERT_TRUE(silent.listening());
    setPort(silent.port());
    const std::size_t descriptors = openDescriptorCount();
    EXPECT_EQ(link.open(), OpenResult::NotConnected);
    EXPECT_EQ(openDescriptorCount(), descriptors);
}

// Addresses as people type them, looked up by the system's resolver: only
// names it answers from its own files and numbers, never a name server.
struct ConnectingAddressCase {
    const char* name;
    std::string host;
    bool ipv6;
};

void PrintTo(const ConnectingAddressCase& row, std::ostream* out)
{
    *out << row.name;
}

class TcpAddressTest : public TcpLinkTest, public ::testing::WithParamInterface<ConnectingAddressCase> {};

TEST_P(TcpAddressTest, ConnectsAndTalks)
{
    const ConnectingAddressCase& row = GetParam();
    int port = m_port;
    int listener = m_listener;
    if (row.ipv6) {
        listener = listenOnIpv6Loopback(port);
        if (listener < 0)
            GTEST_SKIP() << "no IPv6 loopback address here";
    }
    link.endpoint = TcpEndpoint{row.host, static_cast<std::uint16_t>(port)};
    ScriptedPeer device(listener, {replyWith("OK\r")}, true);
    ASSERT_EQ(link.open(), OpenResult::Opened) << link.openFailureDetail();
    EXPECT_EQ(link.openFailureDetail(), "");
    EXPECT_EQ(link.sendCommand("HALT!"), CommandResult::Acknowledged);
    link.close();
    EXPECT_EQ(device.finish(), "HALT!\r");
    if (row.ipv6)
        ::close(listener);
}

INSTANTIATE_TEST_SUITE_P(Addresses, TcpAddressTest,
                         ::testing::Values(ConnectingAddressCase{"Localhost", "localhost", false},
                                           ConnectingAddressCase{"BlanksAround", " 127.0.0.1 ", false},
                                           ConnectingAddressCase{"TabAndLineEndAround", "\t127.0.0.1\r\n", false},
                                           ConnectingAddressCase{"Ipv6Loopback", "::1", true},
                                           ConnectingAddressCase{"Ipv6LoopbackInBrackets", "[::1]", true},
                                           ConnectingAddressCase{"Ipv6LoopbackWithBlanks", " ::1 ", true}),
                         test_support::RowName());

// A lookup in place of the system's, for what must never reach a name
// server: each gives the loopback addresses named, at the port asked for.
HostLookup addressesOf(std::vector<std::string> numbers, Milliseconds delay = Milliseconds{0})
{
    return [numbers, delay](const std::string&, std::uint16_t port) {
        std::this_thread::sleep_for(delay);
        HostAddresses found;
        for (const std::string& number : numbers) {
            const HostAddresses one = lookUpHost(number, port);
            found.addresses.insert(found.addresses.end(), one.addresses.begin(), one.addresses.end());
        }
        return found;
    };
}

HostLookup failingWith(std::string reason)
{
    return [reason](const std::string&, std::uint16_t) {
        HostAddresses found;
        found.failure = reason;
        return found;
    };
}

// What the port of an open failure case is.
enum class PortKind { Closed, Silent };

struct OpenFailureCase {
    const char* name;
    std::string host;
    HostLookup lookup; // null: the system's
    PortKind port;
    // "@" stands for the port number.
    std::string detail;
    bool takesTheWholeLimit;
};

void PrintTo(const OpenFailureCase& row, std::ostream* out)
{
    *out << row.name;
}

class TcpOpenFailure : public TcpLinkTest, public ::testing::WithParamInterface<OpenFailureCase> {};

TEST_P(TcpOpenFailure, SaysWhatWasTriedAndKeepsNoSocket)
{
    const OpenFailureCase& row = GetParam();
    std::optional<SilentListener> silent;
    if (row.port == PortKind::Silent) {
        silent.emplace("127.0.0.1", 0);
        ASSERT_TRUE(silent->listening());
    }
    const int port = silent ? silent->port() : test_support::closedLoopbackPort();
    link.endpoint = TcpEndpoint{row.host, static_cast<std::uint16_t>(port)};
    if (row.lookup)
        link.hostLookup = row.lookup;
    std::string detail = row.detail;
    for (auto at = detail.find('@'); at != std::string::npos; at = detail.find('@'))
        detail.replace(at, 1, std::to_string(port));

    const std::size_t descriptors = openDescriptorCount();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(link.open(), OpenResult::NotConnected);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(link.openFailureDetail(), detail);
    if (row.takesTheWholeLimit) {
        EXPECT_GE(took, link.timing.tcpConnect);
    }
    EXPECT_EQ(openDescriptorCount(), descriptors);
    EXPECT_EQ(link.sendCommand("HALT!"), CommandResult::NotSent);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, TcpOpenFailure,
    ::testing::Values(
        OpenFailureCase{"NameThatCannotBeResolved", "device.invalid", failingWith("Name or service not known"),
                        PortKind::Closed, "Cannot resolve device.invalid: Name or service not known.", false},
        OpenFailureCase{"NameIsNamedWithoutItsBlanks", " \tdevice.invalid ", failingWith("Name or service not known"),
                        PortKind::Closed, "Cannot resolve device.invalid: Name or service not known.", false},
        OpenFailureCase{"LookupThatOutlastsTheLimit", "slow.invalid",
                        addressesOf({"127.0.0.1"}, Timing{}.scaledDown(10).tcpConnect * 3), PortKind::Closed,
                        "Cannot resolve slow.invalid: no answer within 0.5 s.", true},
        OpenFailureCase{"RefusedPort", "127.0.0.1", nullptr, PortKind::Closed,
                        "Connection to 127.0.0.1 port @ refused.", false},
        OpenFailureCase{"RefusedPortOfAnAddressWithBlanks", " 127.0.0.1 ", nullptr, PortKind::Closed,
                        "Connection to 127.0.0.1 port @ refused.", false},
        OpenFailureCase{"ListenerThatNeverAccepts", "127.0.0.1", nullptr, PortKind::Silent,
                        "No answer from 127.0.0.1 port @ within 0.5 s.", true},
        OpenFailureCase{"EveryAddressOfANameRefused", "device.invalid", addressesOf({"127.0.0.1", "127.0.0.2"}),
                        PortKind::Closed,
                        "Connection to 127.0.0.1 port @ refused. Connection to 127.0.0.2 port @ refused.", false},
        OpenFailureCase{"SilentAddressThenARefusedOne", "device.invalid", addressesOf({"127.0.0.1", "127.0.0.2"}),
                        PortKind::Silent,
                        "No answer from 127.0.0.1 port @ within 0.5 s. Connection to 127.0.0.2 port @ refused.", true},
        OpenFailureCase{"NoAddress", "", nullptr, PortKind::Closed, "No address is set for the device.", false},
        OpenFailureCase{"OnlyBlanks", " \t ", nullptr, PortKind::Closed, "No address is set for the device.", false},
        OpenFailureCase{"HostHoldingAZeroByte", std::string("127.0.0.1\0junk", 14), nullptr, PortKind::Closed,
                        std::string("Cannot resolve 127.0.0.1\0junk: not a host name.", 47), false}),
    test_support::RowName());

// The first address of a name that answers is kept, also when one before
// it is silent: the next is tried long before the limit.
struct AddressOrderCase {
    const char* name;
    const char* first; // refused, or silent at the device's port
    bool firstSilent;
};

void PrintTo(const AddressOrderCase& row, std::ostream* out)
{
    *out << row.name;
}

class TcpAddressOrder : public TcpLinkTest, public ::testing::WithParamInterface<AddressOrderCase> {};

TEST_P(TcpAddressOrder, ReachesTheFirstAddressThatAnswers)
{
    const AddressOrderCase& row = GetParam();
    std::optional<SilentListener> silent;
    if (row.firstSilent) {
        silent.emplace(row.first, m_port);
        ASSERT_TRUE(silent->listening());
    }
    link.endpoint = TcpEndpoint{"device.invalid", static_cast<std::uint16_t>(m_port)};
    link.hostLookup = addressesOf({row.first, "127.0.0.1"});
    ScriptedPeer device(m_listener, {replyWith("OK\r")}, true);
    ASSERT_EQ(link.open(), OpenResult::Opened) << link.openFailureDetail();
    EXPECT_EQ(link.sendCommand("HALT!"), CommandResult::Acknowledged);
    link.close();
    EXPECT_EQ(device.finish(), "HALT!\r");
}

INSTANTIATE_TEST_SUITE_P(Orders, TcpAddressOrder,
                         ::testing::Values(AddressOrderCase{"RefusedFirst", "127.0.0.2", false},
                                           AddressOrderCase{"SilentFirst", "127.0.0.2", true}),
                         test_support::RowName());

// The window repaints in the keep-alive hook, so a name server that is slow
// to answer must not hold it up: the lookup runs on a thread of its own.
TEST_F(TcpLinkTest, KeepAliveRunsWhileTheNameIsLookedUpOnAnotherThread)
{
    int calls = 0;
    link.keepAlive = [&] { ++calls; };
    link.timing.keepAliveSlice = Milliseconds{5};
    const auto linkThread = std::this_thread::get_id();
    auto lookupThread = std::make_shared<std::thread::id>(linkThread);
    const HostLookup slow = addressesOf({"127.0.0.1"}, Milliseconds{100});
    link.hostLookup = [lookupThread, slow](const std::string& host, std::uint16_t port) {
        *lookupThread = std::this_thread::get_id();
        return slow(host, port);
    };
    link.endpoint = TcpEndpoint{"slow.invalid", static_cast<std::uint16_t>(m_port)};
    ScriptedPeer device(m_listener, {}, true);
    ASSERT_EQ(link.open(), OpenResult::Opened) << link.openFailureDetail();
    EXPECT_GE(calls, 5);
    EXPECT_NE(*lookupThread, linkThread);
    link.keepAlive = nullptr;
}

// Another thread's stop ends whatever the link waits for at once, where the
// limits (left at their full length) would have it wait seconds.
enum class StopPhase { BeforeOpening, Connecting, Command, Query };

struct StopCase {
    const char* name;
    StopPhase phase;
};

class TcpLinkStop : public TcpLinkTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(TcpLinkStop, EndsTheWaitAsStoppedAndClosesTheLink)
{
    link.timing = Timing{};
    std::atomic<bool> stop = GetParam().phase == StopPhase::BeforeOpening;
    link.stopRequest = &stop;
    // The fixture's listener takes the connection into its queue and never
    // answers: no descriptor of the far end in this process.
    std::optional<SilentListener> silent;
    if (GetParam().phase == StopPhase::Connecting) {
        silent.emplace("127.0.0.1", 0);
        ASSERT_TRUE(silent->listening());
        setPort(silent->port());
    }
    const std::size_t descriptors = openDescriptorCount();
    std::thread stopper([&stop] {
        std::this_thread::sleep_for(100ms);
        stop = true;
    });
    const auto start = std::chrono::steady_clock::now();
    // The limit that would have ended the wait without the stop.
    Milliseconds limit = link.timing.tcpConnect;
    switch (GetParam().phase) {
    case StopPhase::BeforeOpening:
    case StopPhase::Connecting:
        EXPECT_EQ(link.open(), OpenResult::Stopped);
        break;
    case StopPhase::Command:
        ASSERT_EQ(link.open(), OpenResult::Opened);
        EXPECT_EQ(link.sendCommand("HALT!"), CommandResult::Stopped);
        limit = link.timing.tcpCommand;
        break;
    case StopPhase::Query:
        ASSERT_EQ(link.open(), OpenResult::Opened);
        EXPECT_EQ(link.sendQuery("SET?"), QueryResult::Stopped);
        limit = link.timing.tcpQuery;
        break;
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, limit / 2);
    stopper.join();
    EXPECT_EQ(link.sendCommand("HALT!"), CommandResult::Stopped);
    EXPECT_EQ(link.sendQuery("SET?"), QueryResult::Stopped);
    EXPECT_EQ(openDescriptorCount(), descriptors);
    link.stopRequest = nullptr;
}

INSTANTIATE_TEST_SUITE_P(Phases, TcpLinkStop,
                         ::testing::Values(StopCase{"BeforeOpening", StopPhase::BeforeOpening},
                                           StopCase{"WhileConnecting", StopPhase::Connecting},
                                           StopCase{"WhileACommandWaitsForItsReply", StopPhase::Command},
                                           StopCase{"WhileAQueryWaitsForItsAnswer", StopPhase::Query}),
                         test_support::RowName());

} // namespace
} // namespace telvor
