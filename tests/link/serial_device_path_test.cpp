#include "link/serial_device_path.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

namespace telvor {
namespace {

struct PathCase {
    const char* name;
    std::string format;
    int portNumber;
    std::string path;
};

class SerialDevicePathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(SerialDevicePathTest, FillsTheFormatWithPortNumberMinusOne)
{
    const PathCase& row = GetParam();
    EXPECT_EQ(serialDevicePath(row.format, row.portNumber), row.path);
}

INSTANTIATE_TEST_SUITE_P(Formats, SerialDevicePathTest,
                         ::testing::Values(PathCase{"FirstPortIsDeviceZero", "/dev/ttyS%d", 1, "/dev/ttyS0"},
                                           PathCase{"PortTwelve", "/dev/ttyS%d", 12, "/dev/ttyS11"},
                                           PathCase{"HighestPort", "/dev/ttyS%d", 255, "/dev/ttyS254"},
                                           PathCase{"UsbAdapters", "/dev/ttyUSB%d", 1, "/dev/ttyUSB0"},
                                           PathCase{"NumberInTheMiddle", "/tmp/port%d.link", 3, "/tmp/port2.link"},
                                           PathCase{"LiteralPercent", "/tmp/100%%/tty%d", 1, "/tmp/100%/tty0"},
                                           PathCase{"PortZeroHasNoDevice", "/dev/ttyS%d", 0, ""},
                                           PathCase{"NegativePort", "/dev/ttyS%d", -1, ""},
                                           PathCase{"PortAboveRange", "/dev/ttyS%d", 256, ""},
                                           PathCase{"NoConversionFallsBack", "/dev/ttyUSB0", 1, "/dev/ttyS0"},
                                           PathCase{"TwoNumbersFallBack", "/dev/tty%d.%d", 2, "/dev/ttyS1"},
                                           PathCase{"TextConversionFallsBack", "/dev/tty%s%d", 2, "/dev/ttyS1"},
                                           PathCase{"WidthFallsBack", "/dev/tty%5d", 2, "/dev/ttyS1"},
                                           PathCase{"LongConversionFallsBack", "/dev/tty%ld", 2, "/dev/ttyS1"},
                                           PathCase{"TrailingPercentFallsBack", "/dev/tty%d%", 2, "/dev/ttyS1"},
                                           PathCase{"EmptyFallsBack", "", 2, "/dev/ttyS1"}),
                         test_support::RowName());

TEST(SerialDeviceFormatTest, ValidFormats)
{
    EXPECT_TRUE(isValidSerialDeviceFormat("/dev/ttyS%d"));
    EXPECT_TRUE(isValidSerialDeviceFormat("%d"));
    EXPECT_TRUE(isValidSerialDeviceFormat("/a%%b/%d"));
    EXPECT_FALSE(isValidSerialDeviceFormat("/dev/ttyS%n"));
    EXPECT_FALSE(isValidSerialDeviceFormat("/dev/ttyS%%d"));
    EXPECT_FALSE(isValidSerialDeviceFormat("/dev/ttyS%i"));
}

TEST(SerialPortNumberTest, ReversesTheMapping)
{
    EXPECT_EQ(serialPortNumberOf("/dev/ttyS%d", "/dev/ttyS0"), 1);
    EXPECT_EQ(serialPortNumberOf("/dev/ttyS%d", "/dev/ttyS254"), 255);
    EXPECT_EQ(serialPortNumberOf("/dev/ttyUSB%d", "/dev/ttyUSB3"), 4);
    EXPECT_EQ(serialPortNumberOf("/tmp/port%d.link", "/tmp/port2.link"), 3);
    EXPECT_EQ(serialPortNumberOf("/dev/ttyS%d", "/dev/ttyS255"), std::nullopt);
    EXPECT_EQ(serialPortNumberOf("/dev/ttyS%d", "/dev/ttyS01"), std::nullopt);
    EXPECT_EQ(serialPortNumberOf("/dev/ttyS%d", "/dev/ttyS-1"), std::nullopt);
    EXPECT_EQ(serialPortNumberOf("/dev/ttyS%d", "/dev/ttyS"), std::nullopt);
    EXPECT_EQ(serialPortNumberOf("/dev/ttyS%d", "/dev/ttyUSB0"), std::nullopt);
    EXPECT_EQ(serialPortNumberOf("/dev/ttyS%d", "/dev/ttyS1x"), std::nullopt);
    EXPECT_EQ(serialPortNumberOf("bad%s", "/dev/ttyS2"), 3);
}

} // namespace
} // namespace telvor
