#include "link/serial_port_kind.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

namespace telvor {
namespace {

struct DeviceNumbersCase {
    const char* name;
    unsigned major;
    unsigned minor;
    SerialPortKind kind;
};

class SerialPortKindTest : public ::testing::TestWithParam<DeviceNumbersCase> {};

TEST_P(SerialPortKindTest, FollowsTheDeviceNumbers)
{
    EXPECT_EQ(serialPortKind(GetParam().major, GetParam().minor), GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(Devices, SerialPortKindTest,
                         ::testing::Values(DeviceNumbersCase{"FirstPseudoTerminal", 136, 0, SerialPortKind::Direct},
                                           DeviceNumbersCase{"LastPseudoTerminalMajor", 143, 1048575,
                                                             SerialPortKind::Direct},
                                           DeviceNumbersCase{"FirstOnBoardPort", 4, 64, SerialPortKind::Direct},
                                           DeviceNumbersCase{"LastOnBoardPort", 4, 255, SerialPortKind::Direct},
                                           DeviceNumbersCase{"VirtualConsole", 4, 63, SerialPortKind::Buffered},
                                           DeviceNumbersCase{"UsbAdapter", 188, 0, SerialPortKind::Buffered},
                                           DeviceNumbersCase{"UsbModem", 166, 0, SerialPortKind::Buffered},
                                           DeviceNumbersCase{"BeforePseudoTerminals", 135, 0, SerialPortKind::Buffered},
                                           DeviceNumbersCase{"AfterPseudoTerminals", 144, 0, SerialPortKind::Buffered},
                                           DeviceNumbersCase{"EmbeddedUart", 204, 64, SerialPortKind::Buffered}),
                         test_support::RowName());

TEST(SerialPortKindOfTest, PseudoTerminalIsDirect)
{
    int master = -1;
    int slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(serialPortKindOf(slave), SerialPortKind::Direct);
    ::close(master);
    ::close(slave);
}

TEST(SerialPortKindOfTest, AnythingThatCannotBeToldIsBuffered)
{
    const int nullDevice = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(nullDevice, 0);
    EXPECT_EQ(serialPortKindOf(nullDevice), SerialPortKind::Buffered);
    ::close(nullDevice);
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(serialPortKindOf(::fileno(file)), SerialPortKind::Buffered);
    std::fclose(file);
    EXPECT_EQ(serialPortKindOf(-1), SerialPortKind::Buffered);
}

} // namespace
} // namespace telvor
