// The serial link against a scripted peer on the master side of a
// pseudo-terminal; the link opens the slave side through a port-number
// format that points into a temporary folder.
#include "link/device_link.h"

#include "scripted_peer.h"
#include "../support/row_name.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <pty.h>
#include <termios.h>
#include <tuple>
#include <unistd.h>

namespace telvor {
namespace {

using namespace test;

class SerialLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(::openpty(&m_master, &m_slave, nullptr, nullptr, nullptr), 0);
        termios raw{};
        ASSERT_EQ(::tcgetattr(m_slave, &raw), 0);
        ::cfmakeraw(&raw);
        ASSERT_EQ(::tcsetattr(m_slave, TCSANOW, &raw), 0);
        char folder[] = "/tmp/telvor-serial-XXXXXX";
        ASSERT_NE(::mkdtemp(folder), nullptr);
        m_folder = folder;
        std::filesystem::create_symlink(::ptsname(m_master), m_folder / "port0");
        link.serialDeviceFormat = (m_folder / "port%d").string();
        link.timing = Timing{}.scaledDown(10);
        // Replies sent in pieces must not be split by a busy machine.
        link.timing.serialInterByte = Milliseconds{200};
        link.timing.serialSettle = Timing{}.serialSettle;
        link.timing.serialSettleDirect = Timing{}.serialSettleDirect;
    }

    void TearDown() override
    {
        link.close();
        ::close(m_master);
        ::close(m_slave);
        std::filesystem::remove_all(m_folder);
    }

    DeviceLink link;
    std::filesystem::path m_folder;
    int m_master = -1;
    int m_slave = -1;
};

TEST_F(SerialLinkTest, CommandSendsTheTextAndOneCarriageReturnOnly)
{
    ScriptedPeer device(m_master, {replyWith("OK\r")});
    ASSERT_EQ(link.open(1), 0);
    EXPECT_EQ(link.sendCommand("HALT!"), 0);
    EXPECT_STREQ(link.replyText, "");
    link.close();
    EXPECT_EQ(device.finish(), "HALT!\r");
}

// Every row gives the same result with pause framing (strict) and with
// content framing.
class SerialCommandReplyTest : public SerialLinkTest,
                               public ::testing::WithParamInterface<std::tuple<CommandCase, bool>> {};

TEST_P(SerialCommandReplyTest, GivesResultAndReplyText)
{
    const auto& [row, strict] = GetParam();
    link.strictSerialTiming = strict;
    std::strcpy(link.replyText, "earlier");
    ScriptedPeer device(m_master, {PeerStep{row.reply}});
    ASSERT_EQ(link.open(1), 0);
    EXPECT_EQ(link.sendCommand(row.command), row.result);
    EXPECT_STREQ(link.replyText, row.replyText);
    link.close();
    EXPECT_EQ(device.finish(), std::string(row.command) + "\r");
}

const CommandCase kCommandCases[] = {
        CommandCase{"Acknowledged", "HALT!", {{0ms, "OK\r"}}, 0, ""},
        CommandCase{"VersionTextKeepsItsCarriageReturnAsBlank", "VER?", {{0ms, "OK\rv2.8E\r"}}, 0, "v2.8E "},
        CommandCase{"ControlBytesBecomeBlanks", "VER?", {{0ms, "OK\rA\x01\nB\xFF\x7F\r"}}, 0, "A  B \x7F "},
        CommandCase{"PiecesWithinTheInterBytePause", "VER?", {{0ms, "O"}, {10ms, "K\rv3.6\r"}}, 0, "v3.6 "},
        CommandCase{"ErrorLine", "ICFG1=1", {{0ms, "ERROR\r"}}, 2, "earlier"},
        CommandCase{"AcknowledgementWithoutCarriageReturn", "HALT!", {{0ms, "OK"}}, 2, "earlier"},
        CommandCase{"AcknowledgementAfterAnotherLine", "HALT!", {{0ms, "X\rOK\r"}}, 2, "earlier"},
        CommandCase{"NothingReceived", "HALT!", {}, 3, "earlier"},
        CommandCase{"LineFeedAfterTheAcknowledgement", "HALT!", {{0ms, "OK\r"}, {0ms, "\n"}}, 0, " "},
        CommandCase{"VersionWithoutText", "VER?", {{0ms, "OK\r"}}, 0, ""},
        CommandCase{"VersionAfterAnEmptyLine", "VER?", {{0ms, "OK\r"}, {10ms, "\rv3.6E\r"}}, 0, " v3.6E "},
};

INSTANTIATE_TEST_SUITE_P(
    Replies, SerialCommandReplyTest, ::testing::Combine(::testing::ValuesIn(kCommandCases), ::testing::Bool()),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) ? "Strict" : "Content");
    });

TEST_F(SerialLinkTest, CommandReadsFortyBytesAndLeavesTheRestForTheNextExchange)
{
    const std::string first = "OK\r" + std::string(37, 'a');
    ScriptedPeer device(m_master, {replyWith(first + "OK\rtail\r"), PeerStep{}});
    ASSERT_EQ(link.open(1), 0);
    EXPECT_EQ(link.sendCommand("VER?"), 0);
    EXPECT_EQ(std::string(link.replyText), std::string(37, 'a'));
    EXPECT_EQ(link.sendCommand("HALT!"), 0);
    EXPECT_STREQ(link.replyText, "tail ");
    link.close();
    EXPECT_EQ(device.finish(), "VER?\rHALT!\r");
}

TEST_F(SerialLinkTest, StrictReplyEndsAtAPauseOfFiveHundredMilliseconds)
{
    link.timing = Timing{};
    link.strictSerialTiming = true;
    ScriptedPeer device(m_master, {PeerStep{{{0ms, "OK\r"}, {350ms, "v3.6"}, {350ms, "E\r"}, {800ms, "OK\rlate\r"}}},
                                   PeerStep{}});
    ASSERT_EQ(link.open(1), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(link.sendCommand("VER?"), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 350ms + 350ms + 500ms);
    EXPECT_STREQ(link.replyText, "v3.6E ");
    device.waitForSteps(1);
    EXPECT_EQ(link.sendCommand("HALT!"), 0);
    EXPECT_STREQ(link.replyText, "late ");
}

TEST_F(SerialLinkTest, StrictAcknowledgementWaitsOutThePause)
{
    link.timing = Timing{};
    link.strictSerialTiming = true;
    ScriptedPeer device(m_master, {replyWith("OK\r"), replyWith("PIN=1\rOK\r")});
    ASSERT_EQ(link.open(1), 0);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(link.sendCommand("HALT!"), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 500ms);
    start = std::chrono::steady_clock::now();
    EXPECT_EQ(link.sendQuery("SET?"), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 500ms);
    EXPECT_STREQ(link.answer, "PIN=1\rOK\r");
}

struct LateBytesCase {
    const char* name;
    bool strict;
    const char* firstReplyText;
    int secondResult;
    const char* secondReplyText;
};

class SerialLateBytesTest : public SerialLinkTest, public ::testing::WithParamInterface<LateBytesCase> {};

// Bytes that come 200 ms after a whole reply: within the pause, so part of
// the reply with pause framing; after the settle, so left for the next
// exchange with content framing.
TEST_P(SerialLateBytesTest, BelongToTheReplyOnlyWithPauseFraming)
{
    const LateBytesCase& row = GetParam();
    link.timing = Timing{};
    link.timing.serialReadBase = 1000ms;
    link.strictSerialTiming = row.strict;
    ScriptedPeer device(m_master, {PeerStep{{{0ms, "OK\r"}, {200ms, "OK\rlate\r"}}}, PeerStep{}});
    ASSERT_EQ(link.open(1), 0);
    EXPECT_EQ(link.sendCommand("HALT!"), 0);
    EXPECT_STREQ(link.replyText, row.firstReplyText);
    device.waitForSteps(1);
    std::strcpy(link.replyText, "earlier");
    EXPECT_EQ(link.sendCommand("DEBUG=0"), row.secondResult);
    EXPECT_STREQ(link.replyText, row.secondReplyText);
}

INSTANTIATE_TEST_SUITE_P(Framings, SerialLateBytesTest,
                         ::testing::Values(LateBytesCase{"Strict", true, "OK late ", 3, "earlier"},
                                           LateBytesCase{"Content", false, "", 0, "late "}),
                         test_support::RowName());

// A pseudo-terminal hands bytes on as they come, so a whole reply settles
// after serialSettleDirect; the long settle of other ports would have taken
// the late bytes into this reply.
TEST_F(SerialLinkTest, PseudoTerminalSettlesAfterTheDirectSettle)
{
    link.timing = Timing{};
    link.timing.serialSettle = 400ms;
    ScriptedPeer device(m_master, {PeerStep{{{0ms, "OK\r"}, {100ms, "OK\rlate\r"}}}, PeerStep{}});
    ASSERT_EQ(link.open(1), 0);
    EXPECT_EQ(link.sendCommand("HALT!"), 0);
    EXPECT_STREQ(link.replyText, "");
    device.waitForSteps(1);
    EXPECT_EQ(link.sendCommand("DEBUG=0"), 0);
    EXPECT_STREQ(link.replyText, "late ");
}

TEST_F(SerialLinkTest, LineFeedRightAfterTheAcknowledgementIsNotLeftForTheNextExchange)
{
    link.timing = Timing{};
    ScriptedPeer device(m_master, {PeerStep{{{0ms, "OK\r"}, {0ms, "\n"}}}, replyWith("OK\r")});
    ASSERT_EQ(link.open(1), 0);
    EXPECT_EQ(link.sendCommand("HALT!"), 0);
    EXPECT_STREQ(link.replyText, " ");
    EXPECT_EQ(link.sendCommand("DEBUG=0"), 0);
    EXPECT_STREQ(link.replyText, "");
    link.close();
    EXPECT_EQ(device.finish(), "HALT!\rDEBUG=0\r");
}

TEST_F(SerialLinkTest, VersionTextArrivingAfterTheAcknowledgementIsReadWhole)
{
    link.timing = Timing{};
    ScriptedPeer device(m_master, {PeerStep{{{0ms, "OK\r"}, {100ms, "v3.6E\r"}}}});
    ASSERT_EQ(link.open(1), 0);
    EXPECT_EQ(link.sendCommand("VER?"), 0);
    EXPECT_STREQ(link.replyText, "v3.6E ");
}

TEST_F(SerialLinkTest, QueryAnswerPausedInTheMiddleIsReadWhole)
{
    link.timing = Timing{};
    const std::string answer = "PIN=1234\rNUM0=+48600100200\rOK\r";
    ScriptedPeer device(m_master, {PeerStep{{{0ms, answer.substr(0, 14)}, {200ms, answer.substr(14)}}}});
    ASSERT_EQ(link.open(1), 0);
    EXPECT_EQ(link.sendQuery("SET?"), 0);
    EXPECT_EQ(std::string(link.answer), answer);
}

TEST_F(SerialLinkTest, QueryAnswerEndsAtItsClosingAcknowledgement)
{
    link.timing = Timing{};
    ScriptedPeer device(m_master, {PeerStep{{{0ms, "PIN=1\rOK\r"}, {200ms, "SMS0=late\rOK\r"}}}, PeerStep{}});
    ASSERT_EQ(link.open(1), 0);
    EXPECT_EQ(link.sendQuery("SET?"), 0);
    EXPECT_STREQ(link.answer, "PIN=1\rOK\r");
    device.waitForSteps(1);
    EXPECT_EQ(link.sendQuery("SMS?"), 0);
    EXPECT_STREQ(link.answer, "SMS0=late\rOK\r");
}

TEST_F(SerialLinkTest, StrictQueryCollectsTheAnswerUntilThePause)
{
    link.strictSerialTiming = true;
    const std::string answer = "PIN=1234\rNUM0=+48600100200\rOK\r";
    ScriptedPeer device(m_master, {PeerStep{{{0ms, answer.substr(0, 12)}, {10ms, answer.substr(12)}}}});
    ASSERT_EQ(link.open(1), 0);
    EXPECT_EQ(link.sendQuery("SET?"), 0);
    EXPECT_EQ(std::string(link.answer), answer);
    link.close();
    EXPECT_EQ(device.finish(), "SET?\r");
}

TEST_F(SerialLinkTest, QueryWithoutAnswerGivesThree)
{
    link.timing.serialReadPerByte = Milliseconds{0};
    ScriptedPeer device(m_master, {PeerStep{}});
    ASSERT_EQ(link.open(1), 0);
    EXPECT_EQ(link.sendQuery("SET?"), 3);
    EXPECT_STREQ(link.answer, "");
}

TEST_F(SerialLinkTest, TextsTooLongForTheLineBufferAreNotSent)
{
    ScriptedPeer device(m_master, {replyWith("OK\r"), replyWith("PIN=1\rOK\r")});
    ASSERT_EQ(link.open(1), 0);
    EXPECT_EQ(link.sendCommand(std::string(4096, 'A').c_str()), 1);
    EXPECT_EQ(link.sendQuery(std::string(1024, 'Q').c_str()), 1);
    const std::string longestCommand(4095, 'C');
    const std::string longestQuery(1023, 'Q');
    EXPECT_EQ(link.sendCommand(longestCommand.c_str()), 0);
    EXPECT_EQ(link.sendQuery(longestQuery.c_str()), 0);
    link.close();
    EXPECT_EQ(device.finish(), longestCommand + "\r" + longestQuery + "\r");
}

TEST_F(SerialLinkTest, TrafficIsReportedByteForByte)
{
    std::string sent;
    std::string received;
    link.onTraffic = [&](DeviceLink::Direction direction, std::string_view bytes) {
        (direction == DeviceLink::Direction::Sent ? sent : received).append(bytes);
    };
    ScriptedPeer device(m_master, {PeerStep{{{0ms, "OK"}, {10ms, "\rv1\r"}}}});
    ASSERT_EQ(link.open(1), 0);
    ASSERT_EQ(link.sendCommand("VER?"), 0);
    EXPECT_EQ(sent, "VER?\r");
    EXPECT_EQ(received, "OK\rv1\r");
}

TEST_F(SerialLinkTest, KeepAliveRunsWhileWaiting)
{
    int calls = 0;
    link.keepAlive = [&] { ++calls; };
    ScriptedPeer device(m_master, {PeerStep{}});
    ASSERT_EQ(link.open(1), 0);
    ASSERT_EQ(link.sendCommand("HALT!"), 3);
    EXPECT_GT(calls, 0);
}

TEST_F(SerialLinkTest, PortZeroCannotBeOpened)
{
    EXPECT_EQ(link.open(0), 1);
    EXPECT_NE(link.openFailureDetail.find("Port 0"), std::string::npos);
}

TEST_F(SerialLinkTest, MissingDeviceNamesThePathAndReason)
{
    EXPECT_EQ(link.open(2), 1);
    const std::string path = (m_folder / "port1").string();
    EXPECT_NE(link.openFailureDetail.find("Cannot open " + path + ": No such file or directory."), std::string::npos)
        << link.openFailureDetail;
}

TEST_F(SerialLinkTest, PortHeldByAnotherLinkIsBusy)
{
    ASSERT_EQ(link.open(1), 0);
    DeviceLink other;
    other.serialDeviceFormat = link.serialDeviceFormat;
    EXPECT_EQ(other.open(1), 1);
    EXPECT_NE(other.openFailureDetail.find("Another program holds the port"), std::string::npos)
        << other.openFailureDetail;
    link.close();
    EXPECT_EQ(other.open(1), 0);
}

TEST_F(SerialLinkTest, LineSettingsThatCannotBeAppliedWarnAndOpeningGoesOn)
{
    std::ofstream(m_folder / "file0") << "";
    link.serialDeviceFormat = (m_folder / "file%d").string();
    std::vector<std::string> warnings;
    link.onWarning = [&](const std::string& text) { warnings.push_back(text); };
    EXPECT_EQ(link.open(1), 0);
    EXPECT_EQ(warnings, std::vector<std::string>{"B\xB3\xB9" "d wpisu timeouts !"});
}

TEST_F(SerialLinkTest, PseudoTerminalOpensWithoutWarning)
{
    bool warned = false;
    link.onWarning = [&](const std::string&) { warned = true; };
    ASSERT_EQ(link.open(1), 0);
    EXPECT_FALSE(warned);
    termios settings{};
    ASSERT_EQ(::tcgetattr(m_slave, &settings), 0);
    EXPECT_EQ(::cfgetospeed(&settings), static_cast<speed_t>(B9600));
    EXPECT_EQ(settings.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | CLOCAL), static_cast<tcflag_t>(CS8 | CLOCAL));
    EXPECT_EQ(settings.c_iflag & (IXON | IXOFF | ICRNL), 0u);
}

} // namespace
} // namespace telvor
