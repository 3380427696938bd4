// How connection settings point a device link at a device, for the window
// and telvorctl alike.
#include "frontend/connection_endpoint.h"
#include "support/endpoint_print.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

namespace telvor {
namespace {

ConnectionSettings serial(int portNumber)
{
    ConnectionSettings settings;
    settings.serialPortNumber = portNumber;
    return settings;
}

ConnectionSettings tcp(std::string address, int port)
{
    ConnectionSettings settings;
    settings.serialPortNumber = 9;
    settings.useTcp = true;
    settings.ipAddress = std::move(address);
    settings.tcpPort = port;
    return settings;
}

struct EndpointCase {
    const char* name;
    ConnectionSettings settings;
    Endpoint endpoint;
};

class SettingsEndpoint : public testing::TestWithParam<EndpointCase> {};

TEST_P(SettingsEndpoint, ReachesTheLinkWithFormatAndFraming)
{
    ConnectionSettings settings = GetParam().settings;
    settings.serialDeviceFormat = "/tmp/telvor-port%d";
    settings.strictSerialTiming = true;
    DeviceLink link;
    applyConnectionSettings(settings, link);
    EXPECT_EQ(link.endpoint, GetParam().endpoint);
    EXPECT_EQ(link.serialDeviceFormat, "/tmp/telvor-port%d");
    EXPECT_TRUE(link.strictSerialTiming);
    settings.strictSerialTiming = false;
    applyConnectionSettings(settings, link);
    EXPECT_FALSE(link.strictSerialTiming);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, SettingsEndpoint,
    testing::Values(EndpointCase{"Defaults", ConnectionSettings{}, SerialPortNumber{1}},
                    EndpointCase{"SerialPort", serial(12), SerialPortNumber{12}},
                    EndpointCase{"SerialPortZero", serial(0), SerialPortNumber{0}},
                    EndpointCase{"Tcp", tcp("127.0.0.1", 2323), TcpEndpoint{"127.0.0.1", 2323}},
                    EndpointCase{"TcpAddressAsTyped", tcp("device.local", 23), TcpEndpoint{"device.local", 23}},
                    EndpointCase{"TcpPortByItsLow16Bits", tcp("127.0.0.1", 65536 + 23), TcpEndpoint{"127.0.0.1", 23}},
                    EndpointCase{"NegativeTcpPort", tcp("127.0.0.1", -1), TcpEndpoint{"127.0.0.1", 65535}}),
    test_support::RowName());

} // namespace
} // namespace telvor
