// The serial link against a scripted peer on the master side of a
// pseudo-terminal; the link opens the slave side through a port-number
// format that points into a temporary folder.
#include "link/device_link.h"

#include "conversation.h"
#include "scripted_peer.h"
#include "support/ordinary_user.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace telvor {
namespace {

using namespace test;

// Scaled down, but replies sent in pieces must not be split by a busy
// machine, and a whole reply settles as in production.
Timing fastTiming()
{
    Timing timing = Timing{}.scaledDown(10);
    timing.serialInterByte = Milliseconds{200};
    timing.serialSettle = Timing{}.serialSettle;
    timing.serialSettleDirect = Timing{}.serialSettleDirect;
    return timing;
}

// A pseudo-terminal whose slave side a link opens as serial port 1, through
// a port-number format that points into a folder of its own; the master side
// plays the device.
class PseudoTerminal {
public:
    PseudoTerminal()
    {
        char folder[] = "/tmp/telvor-serial-XXXXXX";
        if (::openpty(&m_master, &m_slave, nullptr, nullptr, nullptr) != 0 || ::mkdtemp(folder) == nullptr) {
            ADD_FAILURE() << "no pseudo-terminal: " << std::strerror(errno);
            return;
        }
        termios raw{};
        EXPECT_EQ(::tcgetattr(m_slave, &raw), 0);
        ::cfmakeraw(&raw);
        EXPECT_EQ(::tcsetattr(m_slave, TCSANOW, &raw), 0);
        m_folder = folder;
        std::filesystem::create_symlink(::ptsname(m_master), m_folder / "port0");
    }
    ~PseudoTerminal()
    {
        ::close(m_master);
        ::close(m_slave);
        if (!m_folder.empty())
            std::filesystem::remove_all(m_folder);
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool ready() const { return !m_folder.empty(); }
    void connect(DeviceLink& link) const
    {
        link.serialDeviceFormat = (m_folder / "port%d").string();
        link.endpoint = SerialPortNumber{1};
        link.timing = fastTiming();
    }

    int m_master = -1;
    int m_slave = -1;
    std::filesystem::path m_folder;
};

class SerialLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_terminal.ready());
        m_terminal.connect(link);
    }

    void TearDown() override { link.close(); }

    PseudoTerminal m_terminal;
    const int m_master = m_terminal.m_master;
    const int m_slave = m_terminal.m_slave;
    const std::filesystem::path m_folder = m_terminal.m_folder;
    DeviceLink link;
};

Timing changed(Timing timing, Milliseconds Timing::*limit, Milliseconds value)
{
    timing.*limit = value;
    return timing;
}

struct ConversationCase {
    std::string name;
    bool strict;
    Timing timing;
    std::vector<PeerStep> peer;
    std::vector<Exchange> exchanges;
};

void PrintTo(const ConversationCase& row, std::ostream* out)
{
    *out << row.name;
}

class SerialConversation : public SerialLinkTest, public ::testing::WithParamInterface<ConversationCase> {};

TEST_P(SerialConversation, GivesEveryResultAndTextAndSendsEachLineOnce)
{
    const ConversationCase& row = GetParam();
    link.strictSerialTiming = row.strict;
    link.timing = row.timing;
    ScriptedPeer device(m_master, row.peer);
    ASSERT_EQ(link.open(), OpenResult::Opened);
    const std::string sent = runExchanges(link, device, row.exchanges);
    link.close();
    EXPECT_EQ(device.finish(), sent);
}

// The reply text that the opening "VER?" of the command rows leaves; a row
// that expects it shows that its command left the text alone.
constexpr const char* kEarlier = "earlier ";

// Every row gives the same result with pause framing (strict) and with
// content framing.
const CommandCase kCommandCases[] = {
    CommandCase{"Acknowledged", "HALT!", {{0ms, "OK\r"}}, CommandResult::Acknowledged, ""},
    CommandCase{"VersionTextKeepsItsCarriageReturnAsBlank",
                "VER?",
                {{0ms, "OK\rv2.8E\r"}},
                CommandResult::Acknowledged,
                "v2.8E "},
    CommandCase{"ControlBytesBecomeBlanks",
                "VER?",
                {{0ms, "OK\rA\x01\nB\xFF\x7F\r"}},
                CommandResult::Acknowledged,
                "A  B \x7F "},
    CommandCase{"PiecesWithinTheInterBytePause",
                "VER?",
                {{0ms, "O"}, {10ms, "K\rv3.6\r"}},
                CommandResult::Acknowledged,
                "v3.6 "},
    CommandCase{"ErrorLine", "ICFG1=1", {{0ms, "ERROR\r"}}, CommandResult::NotAcknowledged, kEarlier},
    CommandCase{
        "AcknowledgementWithoutCarriageReturn", "HALT!", {{0ms, "OK"}}, CommandResult::NotAcknowledged, kEarlier},
    CommandCase{
        "AcknowledgementAfterAnotherLine", "HALT!", {{0ms, "X\rOK\r"}}, CommandResult::NotAcknowledged, kEarlier},
    CommandCase{"NothingReceived", "HALT!", {}, CommandResult::NoReply, kEarlier},
    CommandCase{
        "LineFeedAfterTheAcknowledgement", "HALT!", {{0ms, "OK\r"}, {0ms, "\n"}}, CommandResult::Acknowledged, " "},
    CommandCase{"VersionWithoutText", "VER?", {{0ms, "OK\r"}}, CommandResult::Acknowledged, ""},
    CommandCase{"VersionAfterAnEmptyLine",
                "VER?",
                {{0ms, "OK\r"}, {10ms, "\rv3.6E\r"}},
                CommandResult::Acknowledged,
                " v3.6E "},
};

std::vector<ConversationCase> conversationCases()
{
    const Timing fast = fastTiming();
    const Timing production{};
    const std::string answer = "PIN=1234\rNUM0=+48600100200\rOK\r";
    const std::string longestCommand(4095, 'C');
    const std::string longestQuery(1023, 'Q');
    std::vector<ConversationCase> rows = {
        {"CommandSendsTheTextAndOneCarriageReturnOnly",
         false,
         fast,
         {replyWith("OK\r")},
         {command("HALT!", CommandResult::Acknowledged, "")}},
        {"CommandReadsFortyBytesAndLeavesTheRestForTheNextQuery",
         false,
         fast,
         {replyWith("OK\r" + std::string(37, 'a') + "PIN=1\rOK\r"), PeerStep{}},
         {command("VER?", CommandResult::Acknowledged, std::string(37, 'a')),
          query("SET?", QueryResult::Answered, "PIN=1\rOK\r")}},
        {"RestOfAnOverlongReplyIsDroppedBeforeTheNextCommand",
         false,
         fast,
         {replyWith("OK\r" + std::string(37, 'a') + "OK\rtail\r"), replyWith("OK\rnext\r")},
         {command("VER?", CommandResult::Acknowledged, std::string(37, 'a')),
          command("HALT!", CommandResult::Acknowledged, "next ")}},
        {"StrictReplyEndsAtAPauseOfFiveHundredMilliseconds",
         true,
         production,
         {PeerStep{{{0ms, "OK\r"}, {350ms, "v3.6"}, {350ms, "E\r"}, {800ms, "OK\rlate\r"}}}, PeerStep{}},
         {command("VER?", CommandResult::Acknowledged, "v3.6E ").takingAtLeast(350ms + 350ms + 500ms),
          query("SET?", QueryResult::Answered, "OK\rlate\r").after(1)}},
        {"StrictAcknowledgementWaitsOutThePause",
         true,
         production,
         {replyWith("OK\r"), replyWith("PIN=1\rOK\r")},
         {command("HALT!", CommandResult::Acknowledged, "").takingAtLeast(500ms),
          query("SET?", QueryResult::Answered, "PIN=1\rOK\r").takingAtLeast(500ms)}},
        // Bytes that come 200 ms after a whole reply: within the pause, so
        // part of the reply with pause framing; after the settle, so left
        // for the next query with content framing.
        {"LateBytesBelongToTheReplyWithPauseFraming",
         true,
         changed(production, &Timing::serialReadBase, 1000ms),
         {PeerStep{{{0ms, "OK\r"}, {200ms, "OK\rlate\r"}}}, PeerStep{}},
         {command("HALT!", CommandResult::Acknowledged, "OK late "),
          command("DEBUG=0", CommandResult::NoReply, "OK late ").after(1)}},
        {"LateBytesAreLeftForTheNextQueryWithContentFraming",
         false,
         changed(production, &Timing::serialReadBase, 1000ms),
         {PeerStep{{{0ms, "OK\r"}, {200ms, "OK\rlate\r"}}}, PeerStep{}},
         {command("HALT!", CommandResult::Acknowledged, ""),
          query("SET?", QueryResult::Answered, "OK\rlate\r").after(1)}},
        // A pseudo-terminal hands bytes on as they come, so a whole reply
        // settles after serialSettleDirect; the long settle of other ports
        // would have taken the late bytes into this reply.
        {"PseudoTerminalSettlesAfterTheDirectSettle",
         false,
         changed(production, &Timing::serialSettle, 400ms),
         {PeerStep{{{0ms, "OK\r"}, {100ms, "OK\rlate\r"}}}, PeerStep{}},
         {command("HALT!", CommandResult::Acknowledged, ""),
          query("SET?", QueryResult::Answered, "OK\rlate\r").after(1)}},
        {"LineFeedRightAfterTheAcknowledgementIsNotLeftForTheNextExchange",
         false,
         production,
         {PeerStep{{{0ms, "OK\r"}, {0ms, "\n"}}}, replyWith("OK\r")},
         {command("HALT!", CommandResult::Acknowledged, " "), command("DEBUG=0", CommandResult::Acknowledged, "")}},
        {"VersionTextArrivingAfterTheAcknowledgementIsReadWhole",
         false,
         production,
         {PeerStep{{{0ms, "OK\r"}, {100ms, "v3.6E\r"}}}},
         {command("VER?", CommandResult::Acknowledged, "v3.6E ")}},
        {"QueryAnswerPausedInTheMiddleIsReadWhole",
         false,
         production,
         {PeerStep{{{0ms, answer.substr(0, 14)}, {200ms, answer.substr(14)}}}},
         {query("SET?", QueryResult::Answered, answer)}},
        {"QueryAnswerEndsAtItsClosingAcknowledgement",
         false,
         production,
         {PeerStep{{{0ms, "PIN=1\rOK\r"}, {200ms, "SMS0=late\rOK\r"}}}, PeerStep{}},
         {query("SET?", QueryResult::Answered, "PIN=1\rOK\r"),
          query("SMS?", QueryResult::Answered, "SMS0=late\rOK\r").after(1)}},
        {"StrictQueryCollectsTheAnswerUntilThePause",
         true,
         fast,
         {PeerStep{{{0ms, answer.substr(0, 12)}, {10ms, answer.substr(12)}}}},
         {query("SET?", QueryResult::Answered, answer)}},
        {"QueryWithoutAnswer",
         false,
         changed(fast, &Timing::serialReadPerByte, 0ms),
         {PeerStep{}},
         {query("SET?", QueryResult::NoAnswer, "")}},
        {"TextsTooLongForTheLineBufferAreNotSent",
         false,
         fast,
         {replyWith("OK\r"), replyWith("PIN=1\rOK\r")},
         {command(std::string(4096, 'A'), CommandResult::NotSent, ""),
          query(std::string(1024, 'Q'), QueryResult::NotSent, ""),
          command(longestCommand, CommandResult::Acknowledged, ""),
          query(longestQuery, QueryResult::Answered, "PIN=1\rOK\r")}},
    };
    for (const bool strict : {true, false}) {
        // An unsolicited line from the modem between two exchanges: the
        // next command is held until it is in, and must not read it as the
        // beginning of its reply.
        rows.push_back({std::string("UnsolicitedLineIsDroppedBeforeTheNextCommand") + (strict ? "Strict" : "Content"),
                        strict,
                        fast,
                        {PeerStep{{{0ms, "OK\r"}, {3 * fast.serialInterByte, "RING\r"}}}, replyWith("OK\rv1\r")},
                        {command("HALT!", CommandResult::Acknowledged, ""),
                         command("VER?", CommandResult::Acknowledged, "v1 ").after(1)}});
    }
    for (const CommandCase& row : kCommandCases) {
        for (const bool strict : {true, false}) {
            rows.push_back({std::string(row.name) + (strict ? "Strict" : "Content"),
                            strict,
                            fast,
                            {replyWith("OK\rearlier\r"), PeerStep{row.reply}},
                            {command("VER?", CommandResult::Acknowledged, kEarlier),
                             command(row.command, row.result, row.replyText)}});
        }
    }
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Rows, SerialConversation, ::testing::ValuesIn(conversationCases()), test_support::RowName());

TEST_F(SerialLinkTest, TrafficIsReportedByteForByte)
{
    std::string sent;
    std::string received;
    link.onTraffic = [&](DeviceLink::Direction direction, std::string_view bytes) {
        (direction == DeviceLink::Direction::Sent ? sent : received).append(bytes);
    };
    ScriptedPeer device(m_master, {PeerStep{{{0ms, "OK"}, {10ms, "\rv1\r"}}}});
    ASSERT_EQ(link.open(), OpenResult::Opened);
    ASSERT_EQ(link.sendCommand("VER?"), CommandResult::Acknowledged);
    EXPECT_EQ(sent, "VER?\r");
    EXPECT_EQ(received, "OK\rv1\r");
}

TEST_F(SerialLinkTest, StaleBytesDroppedBeforeACommandAreReportedAsReceived)
{
    std::string received;
    link.onTraffic = [&](DeviceLink::Direction direction, std::string_view bytes) {
        if (direction == DeviceLink::Direction::Received)
            received.append(bytes);
    };
    ScriptedPeer device(m_master, {PeerStep{{{0ms, "OK\r"}, {50ms, "RING\r"}}}, replyWith("OK\r")});
    ASSERT_EQ(link.open(), OpenResult::Opened);
    ASSERT_EQ(link.sendCommand("HALT!"), CommandResult::Acknowledged);
    device.waitForSteps(1);
    EXPECT_EQ(link.sendCommand("DEBUG=0"), CommandResult::Acknowledged);
    EXPECT_EQ(received, "OK\rRING\rOK\r");
}

TEST_F(SerialLinkTest, KeepAliveRunsWhileWaiting)
{
    int calls = 0;
    link.keepAlive = [&] { ++calls; };
    ScriptedPeer device(m_master, {PeerStep{}});
    ASSERT_EQ(link.open(), OpenResult::Opened);
    ASSERT_EQ(link.sendCommand("HALT!"), CommandResult::NoReply);
    EXPECT_GT(calls, 0);
}

// Another thread's stop ends the wait for a silent device at once, where
// the read limit (left at its full length) would wait seconds, and lets the
// port go.
TEST_F(SerialLinkTest, StopEndsTheWaitAsStoppedAndLetsThePortGo)
{
    link.timing = Timing{};
    std::atomic<bool> stop = false;
    link.stopRequest = &stop;
    ScriptedPeer device(m_master, {PeerStep{}});
    ASSERT_EQ(link.open(), OpenResult::Opened);
    std::thread stopper([&stop] {
        std::this_thread::sleep_for(100ms);
        stop = true;
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(link.sendCommand("HALT!"), CommandResult::Stopped);
    EXPECT_LT(std::chrono::steady_clock::now() - start, link.timing.serialReadBase / 2);
    stopper.join();
    EXPECT_EQ(link.sendQuery("SET?"), QueryResult::Stopped);
    DeviceLink next;
    m_terminal.connect(next);
    EXPECT_EQ(next.open(), OpenResult::Opened);
    link.stopRequest = nullptr;
}

TEST_F(SerialLinkTest, DevicePathOpensWithoutTheFormat)
{
    link.endpoint = SerialPortPath{::ptsname(m_master)};
    link.serialDeviceFormat = (m_folder / "elsewhere%d").string();
    ScriptedPeer device(m_master, {replyWith("OK\rv3.6\r")});
    ASSERT_EQ(link.open(), OpenResult::Opened);
    EXPECT_EQ(link.sendCommand("VER?"), CommandResult::Acknowledged);
    EXPECT_EQ(link.reply(), "v3.6 ");
    link.close();
    EXPECT_EQ(device.finish(), "VER?\r");
}

TEST_F(SerialLinkTest, ClosedLinkSendsNothing)
{
    ScriptedPeer device(m_master, {replyWith("OK\r")});
    ASSERT_EQ(link.open(), OpenResult::Opened);
    link.close();
    EXPECT_EQ(link.sendCommand("HALT!"), CommandResult::NotSent);
    EXPECT_EQ(link.sendQuery("SET?"), QueryResult::NotSent);
    EXPECT_EQ(device.finish(), "");
}

struct OpenFailureCase {
    const char* name;
    // Paths begin with "@", which stands for the test's folder; so does
    // "@" in the detail.
    Endpoint endpoint;
    std::string detail;
};

std::string inFolder(std::string text, const std::filesystem::path& folder)
{
    if (const auto at = text.find('@'); at != std::string::npos)
        text.replace(at, 1, folder.string());
    return text;
}

void PrintTo(const OpenFailureCase& row, std::ostream* out)
{
    *out << row.name;
}

class SerialOpenFailure : public SerialLinkTest, public ::testing::WithParamInterface<OpenFailureCase> {};

TEST_P(SerialOpenFailure, NamesThePortAndTheReason)
{
    const OpenFailureCase& row = GetParam();
    link.endpoint = row.endpoint;
    if (auto* port = std::get_if<SerialPortPath>(&link.endpoint))
        port->path = inFolder(port->path, m_folder);
    EXPECT_EQ(link.open(), OpenResult::PortUnavailable);
    EXPECT_NE(link.openFailureDetail().find(inFolder(row.detail, m_folder)), std::string::npos)
        << link.openFailureDetail();
    EXPECT_EQ(link.sendCommand("HALT!"), CommandResult::NotSent);
}

INSTANTIATE_TEST_SUITE_P(
    Ports, SerialOpenFailure,
    ::testing::Values(OpenFailureCase{"PortZero", SerialPortNumber{0}, "Port 0 names no serial device"},
                      OpenFailureCase{"PortAboveTheHighest", SerialPortNumber{256}, "Port 256 names no serial device"},
                      OpenFailureCase{"MissingDevice", SerialPortNumber{2},
                                      "Cannot open @/port1: No such file or directory."},
                      OpenFailureCase{"MissingDevicePath", SerialPortPath{"@/absent"},
                                      "Cannot open @/absent: No such file or directory."}),
    test_support::RowName());

// What another open of the port meets while the device side of the
// pseudo-terminal stays open throughout, as behind a network serial bridge.
struct PortUseCase {
    const char* name;
    void (*check)(const PseudoTerminal& terminal);
};

const PortUseCase kPortUseCases[] = {
    {"HeldByAnotherLinkIsBusyUntilClosed",
     [](const PseudoTerminal& terminal) {
         DeviceLink link;
         terminal.connect(link);
         ASSERT_EQ(link.open(), OpenResult::Opened);
         DeviceLink other;
         terminal.connect(other);
         EXPECT_EQ(other.open(), OpenResult::PortUnavailable);
         EXPECT_NE(other.openFailureDetail().find("Another program holds the port"), std::string::npos)
             << other.openFailureDetail();
         link.close();
         EXPECT_EQ(other.open(), OpenResult::Opened) << other.openFailureDetail();
         EXPECT_EQ(other.openFailureDetail(), "");
     }},
    {"OpensAgainAfterClose",
     [](const PseudoTerminal& terminal) {
         DeviceLink link;
         terminal.connect(link);
         ASSERT_EQ(link.open(), OpenResult::Opened);
         link.close();
         EXPECT_EQ(link.open(), OpenResult::Opened) << link.openFailureDetail();
     }},
    {"OpensAgainAfterTheLinkIsGone",
     [](const PseudoTerminal& terminal) {
         {
             DeviceLink link;
             terminal.connect(link);
             ASSERT_EQ(link.open(), OpenResult::Opened);
         }
         DeviceLink next;
         terminal.connect(next);
         EXPECT_EQ(next.open(), OpenResult::Opened) << next.openFailureDetail();
     }},
    {"OtherProgramOpensAfterClose",
     [](const PseudoTerminal& terminal) {
         DeviceLink link;
         terminal.connect(link);
         ASSERT_EQ(link.open(), OpenResult::Opened);
         link.close();
         const int descriptor = ::open(::ptsname(terminal.m_master), O_RDWR | O_NOCTTY | O_CLOEXEC);
         EXPECT_GE(descriptor, 0) << std::strerror(errno);
         ::close(descriptor);
     }},
};

void PrintTo(const PortUseCase& row, std::ostream* out)
{
    *out << row.name;
}

class SerialPortUse : public ::testing::TestWithParam<PortUseCase> {};

// Root opens a port that is in exclusive use all the same, so each case
// runs again as an ordinary user, on a pseudo-terminal of that user's own.
TEST_P(SerialPortUse, HoldsForTheRunningUserAndForAnOrdinaryUser)
{
    const PortUseCase& row = GetParam();
    const auto onAPseudoTerminal = [&row] {
        const PseudoTerminal terminal;
        ASSERT_TRUE(terminal.ready());
        row.check(terminal);
    };
    onAPseudoTerminal();
    test_support::runAsOrdinaryUser(onAPseudoTerminal);
}

INSTANTIATE_TEST_SUITE_P(Rows, SerialPortUse, ::testing::ValuesIn(kPortUseCases), test_support::RowName());

TEST_F(SerialLinkTest, LineSettingsThatCannotBeAppliedWarnAndOpeningGoesOn)
{
    std::ofstream(m_folder / "file0") << "";
    link.serialDeviceFormat = (m_folder / "file%d").string();
    std::vector<std::string> warnings;
    link.onWarning = [&](const std::string& text) { warnings.push_back(text); };
    EXPECT_EQ(link.open(), OpenResult::Opened);
    EXPECT_EQ(warnings,
              std::vector<std::string>{"B\xB3\xB9"
                                       "d wpisu timeouts !"});
}

TEST_F(SerialLinkTest, PseudoTerminalOpensWithoutWarning)
{
    bool warned = false;
    link.onWarning = [&](const std::string&) { warned = true; };
    ASSERT_EQ(link.open(), OpenResult::Opened);
    EXPECT_FALSE(warned);
    termios settings{};
    ASSERT_EQ(::tcgetattr(m_slave, &settings), 0);
    EXPECT_EQ(::cfgetospeed(&settings), static_cast<speed_t>(B9600));
    EXPECT_EQ(settings.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | CLOCAL), static_cast<tcflag_t>(CS8 | CLOCAL));
    EXPECT_EQ(settings.c_iflag & (IXON | IXOFF | ICRNL), 0u);
}

} // namespace
} // namespace telvor
