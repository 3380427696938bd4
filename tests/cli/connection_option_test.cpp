#include "cli/connection_option.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

namespace telvor {
namespace {

struct TcpRow {
    const char* name;
    const char* value;
    bool accepted;
    const char* address;
    int port;
};

class TcpOption : public testing::TestWithParam<TcpRow> {};

TEST_P(TcpOption, TakesAHostOrAnIpv4OrIpv6AddressAndAnOptionalPort)
{
    const TcpRow& row = GetParam();
    const std::optional<ConnectionChoice> choice = tcpChoice(row.value);
    ASSERT_EQ(choice.has_value(), row.accepted);
    if (!row.accepted)
        return;
    EXPECT_EQ(choice->transport, ConnectionChoice::Transport::Tcp);
    EXPECT_EQ(choice->address, row.address);
    EXPECT_EQ(choice->port, row.port);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TcpOption,
    testing::Values(TcpRow{"AddressAlone", "127.0.0.1", true, "127.0.0.1", 23},
                    TcpRow{"AddressAndPort", "127.0.0.2:2323", true, "127.0.0.2", 2323},
                    TcpRow{"HighestPort", "10.0.0.255:65535", true, "10.0.0.255", 65535},
                    TcpRow{"PortZero", "127.0.0.1:0", false, "", 0},
                    TcpRow{"PortTooHigh", "127.0.0.1:65536", false, "", 0},
                    TcpRow{"EmptyPort", "127.0.0.1:", false, "", 0}, TcpRow{"PartTooHigh", "127.0.0.256", false, "", 0},
                    TcpRow{"ThreeParts", "127.0.1", false, "", 0}, TcpRow{"FiveParts", "127.0.0.1.1", false, "", 0},
                    TcpRow{"LeadingZero", "127.0.0.01", false, "", 0}, TcpRow{"Sign", "+127.0.0.1", false, "", 0},
                    TcpRow{"Empty", "", false, "", 0},
                    TcpRow{"BlanksAroundAreIgnored", " 127.0.0.1:2323\t", true, "127.0.0.1", 2323},
                    TcpRow{"OnlyBlanks", "  ", false, "", 0}, TcpRow{"HostName", "localhost", true, "localhost", 23},
                    TcpRow{"HostNameAndPort", "telvor-7.example.net:2323", true, "telvor-7.example.net", 2323},
                    TcpRow{"InternationalHostName",
                           "\xC5\x82\xC3\xB3"
                           "d\xC5\xBA.example",
                           true,
                           "\xC5\x82\xC3\xB3"
                           "d\xC5\xBA.example",
                           23},
                    TcpRow{"HostNameWithABlank", "my device:23", false, "", 0},
                    TcpRow{"HostNameWithASlash", "device/1", false, "", 0}, TcpRow{"Ipv6Alone", "::1", true, "::1", 23},
                    TcpRow{"Ipv6AloneTakesNoPort", "::1:2323", true, "::1:2323", 23},
                    TcpRow{"Ipv6InBrackets", "[::1]", true, "::1", 23},
                    TcpRow{"Ipv6InBracketsAndPort", "[::1]:2323", true, "::1", 2323},
                    TcpRow{"Ipv6WithZone", "[fe80::1%eth0]:23", true, "fe80::1%eth0", 23},
                    TcpRow{"Ipv6WithEmptyZone", "fe80::1%", false, "", 0},
                    TcpRow{"Ipv6InBracketsEmptyPort", "[::1]:", false, "", 0},
                    TcpRow{"Ipv6InBracketsWithoutColon", "[::1]2323", false, "", 0},
                    TcpRow{"Ipv6UnclosedBracket", "[::1", false, "", 0},
                    TcpRow{"Ipv4InBrackets", "[127.0.0.1]:23", false, "", 0}, TcpRow{"NotIpv6", "1:2:3", false, "", 0},
                    TcpRow{"EmptyBrackets", "[]:23", false, "", 0}),
    test_support::RowName());

TEST(SerialOption, TakesPortNumbersZeroTo255)
{
    EXPECT_EQ(serialChoice("0")->serialPortNumber, 0);
    EXPECT_EQ(serialChoice("255")->serialPortNumber, 255);
    EXPECT_EQ(serialChoice("7")->transport, ConnectionChoice::Transport::Serial);
    EXPECT_FALSE(serialChoice("256"));
    EXPECT_FALSE(serialChoice("-1"));
    EXPECT_FALSE(serialChoice("01"));
    EXPECT_FALSE(serialChoice("COM1"));
    EXPECT_FALSE(serialChoice(""));
}

} // namespace
} // namespace telvor
