#include "link/serial_open_failure.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace telvor {
namespace {

namespace fs = std::filesystem;

class SerialDeviceListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char folder[] = "/tmp/telvor-devices-XXXXXX";
        ASSERT_NE(::mkdtemp(folder), nullptr);
        m_root = folder;
        fs::create_directories(m_root / "dev/serial/by-id");
        fs::create_directories(m_root / "sys");
        for (const char* name : {"ttyS0", "ttyS1", "ttyS10", "ttyS2", "ttyUSB0", "ttyACM1", "ttyUSBx", "tty0", "ttyS"})
            std::ofstream(m_root / "dev" / name) << "";
        addUartType("ttyS0", "4");
        addUartType("ttyS1", "0");
        fs::create_symlink("../../ttyUSB0", m_root / "dev/serial/by-id/usb-Maker_Adapter-if00-port0");
    }

    void TearDown() override { fs::remove_all(m_root); }

    void addUartType(const std::string& name, const std::string& type)
    {
        fs::create_directories(m_root / "sys" / name);
        std::ofstream(m_root / "sys" / name / "type") << type << "\n";
    }

    std::string root(const char* inside) const { return (m_root / inside).string(); }

    fs::path m_root;
};

TEST_F(SerialDeviceListTest, ListsLinksByIdThenAdaptersModemsAndOnBoardPortsInCountingOrder)
{
    const auto devices = listSerialDevices(root("dev"), root("sys"));
    std::vector<std::string> paths;
    for (const SerialDevice& device : devices)
        paths.push_back(device.path);
    EXPECT_EQ(
        paths,
        (std::vector<std::string>{root("dev/serial/by-id/usb-Maker_Adapter-if00-port0"), root("dev/ttyUSB0"),
                                  root("dev/ttyACM1"), root("dev/ttyS0"), root("dev/ttyS2"), root("dev/ttyS10")}));
    EXPECT_EQ(devices.front().target, root("dev/ttyUSB0"));
    EXPECT_EQ(devices.back().target, "");
}

TEST_F(SerialDeviceListTest, MissingFoldersListNothing)
{
    EXPECT_TRUE(listSerialDevices(root("none"), root("none")).empty());
}

TEST(SerialOpenFailureTest, PermissionDeniedNamesTheDialoutGroup)
{
    EXPECT_EQ(serialOpenFailureDetail("/dev/ttyS0", EACCES, "/dev/ttyS%d", {}),
              "Cannot open /dev/ttyS0: Permission denied.\n"
              "The user may not use serial ports: add the user to the dialout group with\n"
              "  sudo usermod -aG dialout $USER\n"
              "then log out and log in again.\n");
}

TEST(SerialOpenFailureTest, BusyPortIsHeldByAnotherProgram)
{
    EXPECT_EQ(serialOpenFailureDetail("/dev/ttyUSB0", EBUSY, "/dev/ttyUSB%d", {}),
              "Cannot open /dev/ttyUSB0: Device or resource busy.\n"
              "Another program holds the port; close it and try again.\n");
}

TEST(SerialOpenFailureTest, MissingDeviceListsTheDevicesWithTheirPortNumbers)
{
    const std::vector<SerialDevice> devices{
        {"/dev/serial/by-id/usb-Maker-if00-port0", "/dev/ttyUSB0"}, {"/dev/ttyS0", ""}, {"/dev/ttyUSB1", ""}};
    EXPECT_EQ(
        serialOpenFailureDetail("/dev/ttyS4", ENOENT, "/dev/ttyS%d", devices),
        "Cannot open /dev/ttyS4: No such file or directory.\n"
        "Serial devices on this computer:\n"
        "  /dev/serial/by-id/usb-Maker-if00-port0 -> /dev/ttyUSB0: no port number under the format "
        "/dev/ttyS%d (with the format /dev/ttyUSB%d it is port 1)\n"
        "  /dev/ttyS0: port 1\n"
        "  /dev/ttyUSB1: no port number under the format /dev/ttyS%d (with the format /dev/ttyUSB%d it is port 2)\n");
    EXPECT_NE(serialOpenFailureDetail("/dev/ttyUSB4", ENOENT, "/dev/ttyUSB%d", devices)
                  .find("/dev/serial/by-id/usb-Maker-if00-port0 -> /dev/ttyUSB0: port 1\n"),
              std::string::npos);
}

TEST(SerialOpenFailureTest, UnusableFormatIsNamedWithTheDefaultItFallsBackTo)
{
    EXPECT_EQ(
        serialOpenFailureDetail("/dev/ttyS4", ENOENT, "/dev/tty%s", {{"/dev/ttyUSB0", ""}}),
        "Cannot open /dev/ttyS4: No such file or directory.\n"
        "The serial device format /dev/tty%s is unusable (it needs exactly one %d), so /dev/ttyS%d was used.\n"
        "Serial devices on this computer:\n"
        "  /dev/ttyUSB0: no port number under the format /dev/ttyS%d (with the format /dev/ttyUSB%d it is port 1)\n");
}

TEST(SerialOpenFailureTest, NoDevicesAtAll)
{
    EXPECT_EQ(serialOpenFailureDetail("/dev/ttyS0", ENXIO, "/dev/ttyS%d", {}),
              "Cannot open /dev/ttyS0: No such device or address.\n"
              "No serial devices were found (/dev/serial/by-id, /dev/ttyUSB*, /dev/ttyACM*, /dev/ttyS*).\n");
}

TEST(SerialOpenFailureTest, OtherReasonsAreOnlyNamed)
{
    EXPECT_EQ(serialOpenFailureDetail("/dev/ttyS0", EIO, "/dev/ttyS%d", {{"/dev/ttyS0", ""}}),
              "Cannot open /dev/ttyS0: Input/output error.\n");
}

TEST(SerialOpenFailureTest, PortNumberOutsideTheRange)
{
    EXPECT_EQ(serialPortNumberDetail(0), "Port 0 names no serial device: ports are numbered from 1 to 255.\n");
}

} // namespace
} // namespace telvor
