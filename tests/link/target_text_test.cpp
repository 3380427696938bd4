// An endpoint as the history records it, and back.
#include "link/target_text.h"
#include "support/endpoint_print.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

namespace telvor {
namespace {

constexpr const char* kFormat = "/dev/ttyS%d";

struct TargetRow {
    const char* name;
    Endpoint endpoint;
    std::string text;
};

class TargetText : public testing::TestWithParam<TargetRow> {};

TEST_P(TargetText, NamesTheEndpointAndNamesItAgain)
{
    EXPECT_EQ(targetText(GetParam().endpoint, kFormat), GetParam().text);
    EXPECT_EQ(endpointOfTarget(GetParam().text, kFormat), GetParam().endpoint);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TargetText,
    testing::Values(TargetRow{"PortNumber", SerialPortNumber{1}, "com:1:/dev/ttyS0"},
                    TargetRow{"HighestPortNumber", SerialPortNumber{255}, "com:255:/dev/ttyS254"},
                    TargetRow{"PortNumberZeroNamesNoDevice", SerialPortNumber{0}, "com:0:"},
                    TargetRow{"DevicePath", SerialPortPath{"/dev/ttyUSB0"}, "serial:/dev/ttyUSB0"},
                    TargetRow{"DevicePathWithColons", SerialPortPath{"/dev/serial/by-path/pci-0:1"},
                              "serial:/dev/serial/by-path/pci-0:1"},
                    TargetRow{"Ipv4", TcpEndpoint{"192.168.2.1", 23}, "tcp:192.168.2.1:23"},
                    TargetRow{"Ipv6InBrackets", TcpEndpoint{"::1", 2323}, "tcp:[::1]:2323"},
                    TargetRow{"HostName", TcpEndpoint{"device.example.org", 65535}, "tcp:device.example.org:65535"}),
    test_support::RowName());

struct ParsedRow {
    const char* name;
    std::string text;
    std::optional<Endpoint> endpoint;
};

class TargetParsed : public testing::TestWithParam<ParsedRow> {};

TEST_P(TargetParsed, GivesTheEndpointOrNone)
{
    EXPECT_EQ(endpointOfTarget(GetParam().text, "/dev/ttyUSB%d"), GetParam().endpoint);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TargetParsed,
    testing::Values(ParsedRow{"PortNumberAlone", "com:4", SerialPortNumber{4}},
                    ParsedRow{"PathTheFormatStillGives", "com:2:/dev/ttyUSB1", SerialPortNumber{2}},
                    ParsedRow{"PathTheFormatNoLongerGivesIsReachedByPath", "com:2:/dev/ttyS1",
                              SerialPortPath{"/dev/ttyS1"}},
                    ParsedRow{"TcpPortDefault", "tcp:10.0.0.7", TcpEndpoint{"10.0.0.7", 23}},
                    ParsedRow{"Ipv6PortDefault", "tcp:[fe80::1]", TcpEndpoint{"fe80::1", 23}},
                    ParsedRow{"PortNumberTooHigh", "com:256", std::nullopt},
                    ParsedRow{"PortNumberNotANumber", "com:x", std::nullopt},
                    ParsedRow{"EmptyDevicePath", "serial:", std::nullopt},
                    ParsedRow{"TcpPortZero", "tcp:10.0.0.7:0", std::nullopt},
                    ParsedRow{"TcpPortTooHigh", "tcp:10.0.0.7:65536", std::nullopt},
                    ParsedRow{"TcpWithoutHost", "tcp::23", std::nullopt},
                    ParsedRow{"Ipv6WithoutBrackets", "tcp:::1:23", std::nullopt},
                    ParsedRow{"UnclosedBracket", "tcp:[::1:23", std::nullopt},
                    ParsedRow{"TextAfterBracket", "tcp:[::1]x", std::nullopt},
                    ParsedRow{"UnknownKind", "usb:1", std::nullopt}, ParsedRow{"Empty", "", std::nullopt}),
    test_support::RowName());

} // namespace
} // namespace telvor
