// The port survey on a tree of its own in place of /dev and /sys: nodes that
// are files or links to pseudo-terminals, and sysfs entries as Linux makes
// them; never the machine's ports.
#include "link/serial_port_survey.h"

#include "scripted_peer.h"
#include "support/fake_system_tree.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <grp.h>
#include <pty.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace telvor {
namespace {

namespace fs = std::filesystem;
using test_support::FakeSystemTree;

constexpr uid_t kUnprivilegedUser = 65534;
constexpr gid_t kUnprivilegedGroup = 65534;

SystemPaths pathsOf(const FakeSystemTree& tree)
{
    return {(tree.root() / "dev").string(), (tree.root() / "sys/class/tty").string()};
}

struct InfoRow {
    const char* name;
    std::function<void(const FakeSystemTree&)> build;
    const char* node;
    SerialDeviceInfo info;
    std::string description;
};

class SerialDeviceInfoTest : public testing::TestWithParam<InfoRow> {};

TEST_P(SerialDeviceInfoTest, TellsWhatSysfsTells)
{
    const InfoRow& row = GetParam();
    FakeSystemTree tree;
    row.build(tree);
    const SerialDeviceInfo info = serialDeviceInfo(row.node, pathsOf(tree).ttyClassRoot);
    EXPECT_EQ(kindName(info.kind), kindName(row.info.kind));
    EXPECT_EQ(info.driver, row.info.driver);
    EXPECT_EQ(info.vendorId, row.info.vendorId);
    EXPECT_EQ(info.productId, row.info.productId);
    EXPECT_EQ(info.manufacturer, row.info.manufacturer);
    EXPECT_EQ(info.product, row.info.product);
    EXPECT_EQ(describeSerialDevice(info), row.description);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SerialDeviceInfoTest,
    testing::Values(
        InfoRow{"UsbAdapter",
                [](const FakeSystemTree& tree) {
                    tree.addUsbAdapter("ttyUSB0", "1-2", {"0403", "6001", "FTDI", "FT232R USB UART"}, "ftdi_sio");
                },
                "ttyUSB0",
                {SerialDeviceKind::UsbAdapter, "ftdi_sio", "0403", "6001", "FTDI", "FT232R USB UART"},
                "USB serial adapter FTDI FT232R USB UART (0403:6001, driver ftdi_sio)"},
        InfoRow{"UsbModemWithoutManufacturer",
                [](const FakeSystemTree& tree) {
                    tree.addUsbModem("ttyACM0", "1-3", {"2341", "0043", "", "Uno"});
                },
                "ttyACM0",
                {SerialDeviceKind::UsbModem, "cdc_acm", "2341", "0043", "", "Uno"},
                "USB modem (CDC ACM) Uno (2341:0043, driver cdc_acm)"},
        InfoRow{"OnBoardPortBehindTheSerialCore",
                [](const FakeSystemTree& tree) { tree.addOnBoardPort("ttyS0", "00:01", "4"); },
                "ttyS0",
                {SerialDeviceKind::OnBoard, "serial", "", "", "", ""},
                "on-board port (driver serial)"},
        InfoRow{"OnBoardPortWithoutSysfs",
                [](const FakeSystemTree&) {},
                "ttyS7",
                {SerialDeviceKind::OnBoard, "", "", "", "", ""},
                "on-board port"},
        InfoRow{"NodeOfAnotherName",
                [](const FakeSystemTree&) {},
                "rfcomm0",
                {SerialDeviceKind::Unknown, "", "", "", "", ""},
                "serial device of unknown kind"}),
    test_support::RowName());

// A machine with an adapter (also by id), a modem, an on-board port, one
// without a UART and a by-id link whose node has gone.
class SerialPortSurveyTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_tree.addUsbAdapter("ttyUSB0", "1-2", {"0403", "6001", "FTDI", "FT232R USB UART"}, "ftdi_sio");
        m_tree.addNode("ttyUSB0");
        m_tree.addLinkById("usb-FTDI_FT232R_USB_UART_A10K-if00-port0", "ttyUSB0");
        m_tree.addLinkById("usb-Gone_Adapter-if00-port0", "ttyUSB9");
        m_tree.addUsbModem("ttyACM0", "1-3", {"2341", "0043", "", "Uno"});
        m_tree.addNode("ttyACM0", fs::perms(0600));
        m_tree.addOnBoardPort("ttyS0", "00:01", "4");
        m_tree.addNode("ttyS0", fs::perms(0660));
        m_tree.addOnBoardPort("ttyS1", "00:02", "0");
        m_tree.addNode("ttyS1");
    }

    std::string format() const { return m_tree.dev("ttyUSB%d"); }

    FakeSystemTree m_tree;
};

TEST_F(SerialPortSurveyTest, ListsEachDeviceWithItsKindAndPortNumber)
{
    const std::vector<SurveyedPort> ports = surveySerialPorts(format(), pathsOf(m_tree));
    ASSERT_EQ(ports.size(), 5u);
    const std::string byId = m_tree.dev("serial/by-id/");
    EXPECT_EQ(ports[0].device.path, byId + "usb-FTDI_FT232R_USB_UART_A10K-if00-port0");
    EXPECT_EQ(ports[0].device.target, m_tree.dev("ttyUSB0"));
    EXPECT_EQ(ports[0].info.kind, SerialDeviceKind::UsbAdapter);
    EXPECT_EQ(ports[0].info.product, "FT232R USB UART");
    EXPECT_EQ(ports[0].numbering.number, 1);
    EXPECT_EQ(ports[1].device.path, byId + "usb-Gone_Adapter-if00-port0");
    EXPECT_EQ(ports[1].numbering.number, 10);
    EXPECT_EQ(ports[1].accessError, ENOENT);
    EXPECT_EQ(ports[2].device.path, m_tree.dev("ttyUSB0"));
    EXPECT_EQ(ports[2].numbering.number, 1);
    EXPECT_EQ(ports[2].accessError, 0);
    EXPECT_EQ(ports[3].device.path, m_tree.dev("ttyACM0"));
    EXPECT_EQ(ports[3].info.kind, SerialDeviceKind::UsbModem);
    EXPECT_FALSE(ports[3].numbering.number);
    EXPECT_EQ(ports[3].numbering.otherFormat, m_tree.dev("ttyACM%d"));
    EXPECT_EQ(ports[3].numbering.otherNumber, 1);
    EXPECT_EQ(ports[4].device.path, m_tree.dev("ttyS0"));
    EXPECT_EQ(ports[4].info.kind, SerialDeviceKind::OnBoard);
    EXPECT_EQ(ports[4].numbering.otherFormat, m_tree.dev("ttyS%d"));
}

// Root may open anything, so the user who may not is an unprivileged one, in
// a child process that has given up root.
TEST_F(SerialPortSurveyTest, AnUnprivilegedUserMayOpenOnlyWhatItsModeAllows)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0
            && (::setgroups(0, nullptr) != 0 || ::setgid(kUnprivilegedGroup) != 0 || ::setuid(kUnprivilegedUser) != 0))
            ::_exit(10);
        const std::vector<SurveyedPort> ports = surveySerialPorts(format(), pathsOf(m_tree));
        if (ports.size() != 5)
            ::_exit(11);
        // ttyUSB0 is open to all; ttyACM0 only to its owner, ttyS0 to its group.
        if (ports[0].accessError != 0 || ports[2].accessError != 0)
            ::_exit(12);
        if (ports[3].accessError != EACCES || ports[4].accessError != EACCES)
            ::_exit(13);
        ::_exit(ports[1].accessError == ENOENT ? 0 : 14);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10 cannot drop root, 11 wrong ports, 12 open node refused, 13 closed "
                                         "node allowed, 14 missing node not told";
}

TEST(SerialPortSurveyEnvironment, SystemRootMovesDevAndSys)
{
    ::setenv(kSystemRootVariable, "/tmp/elsewhere", 1);
    const SystemPaths moved = systemPaths();
    ::setenv(kSystemRootVariable, "", 1);
    const SystemPaths emptyRoot = systemPaths();
    ::unsetenv(kSystemRootVariable);
    const SystemPaths plain = systemPaths();
    EXPECT_EQ(moved.deviceRoot, "/tmp/elsewhere/dev");
    EXPECT_EQ(moved.ttyClassRoot, "/tmp/elsewhere/sys/class/tty");
    EXPECT_EQ(emptyRoot.deviceRoot, "/dev");
    EXPECT_EQ(plain.deviceRoot, "/dev");
    EXPECT_EQ(plain.ttyClassRoot, "/sys/class/tty");
}

// A pseudo-terminal in raw mode whose master side the test plays.
struct Terminal {
    Terminal()
    {
        ::openpty(&master, &slave, nullptr, nullptr, nullptr);
        termios raw{};
        ::tcgetattr(slave, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(slave, TCSANOW, &raw);
    }
    ~Terminal()
    {
        ::close(master);
        ::close(slave);
    }
    std::string slavePath() const { return ::ptsname(master); }

    int master = -1;
    int slave = -1;
};

SurveyedPort portAt(const std::string& path, const std::string& target = {}, int accessError = 0)
{
    SurveyedPort port;
    port.device = {path, target};
    port.accessError = accessError;
    return port;
}

// Every port is asked at once: the silent one's limit is waited out once.
TEST(SerialPortProbe, AsksEachPortThatMayBeOpenedOnce)
{
    Terminal answering;
    Terminal silent;
    Terminal held;
    ASSERT_EQ(::flock(held.slave, LOCK_EX | LOCK_NB), 0);
    test::ScriptedPeer device(answering.master, {test::replyWith("OK\rv3.6E\r")});

    Timing timing = Timing().scaledDown(10);
    timing.serialSettleDirect = Timing().serialSettleDirect;
    const std::vector<SurveyedPort> ports = {
        portAt("/by-id/answering", answering.slavePath()),
        portAt(answering.slavePath()),
        portAt(silent.slavePath()),
        portAt(held.slavePath()),
        portAt("/dev/ttyS3", {}, EACCES),
    };
    const std::vector<ProbeAnswer> answers = probeSerialPorts(ports, timing);
    ASSERT_EQ(answers.size(), ports.size());
    EXPECT_EQ(answers[0].outcome, ProbeAnswer::Outcome::Answered);
    EXPECT_EQ(answers[0].version, "v3.6E");
    EXPECT_EQ(answers[1].outcome, ProbeAnswer::Outcome::Answered);
    EXPECT_EQ(answers[2].outcome, ProbeAnswer::Outcome::NoAnswer);
    EXPECT_EQ(answers[3].outcome, ProbeAnswer::Outcome::NotOpened);
    EXPECT_EQ(answers[3].detail,
              "Cannot open " + held.slavePath()
                  + ": Device or resource busy.\n"
                    "Another program holds the port; close it and try again.\n");
    EXPECT_EQ(answers[4].outcome, ProbeAnswer::Outcome::NotAsked);
    EXPECT_EQ(device.finish(), "VER?\r");
}

} // namespace
} // namespace telvor
