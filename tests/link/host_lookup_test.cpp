// The system's resolver as the link uses it, only with numbers and names it
// answers from its own files: a test never asks a name server.
#include "link/host_lookup.h"

#include "support/row_name.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <string>
#include <vector>

namespace telvor {
namespace {

std::vector<std::string> numbersOf(const HostAddresses& found)
{
    std::vector<std::string> numbers;
    for (const SocketAddress& address : found.addresses)
        numbers.push_back(numericText(address));
    return numbers;
}

int portOf(const SocketAddress& address)
{
    return ntohs(address.family() == AF_INET6 ? reinterpret_cast<const sockaddr_in6*>(address.get())->sin6_port
                                              : reinterpret_cast<const sockaddr_in*>(address.get())->sin_port);
}

struct LookupCase {
    const char* name;
    std::string host;
    std::vector<std::string> numbers; // at least these, in this order
    std::string failure;
};

class HostLookupTest : public testing::TestWithParam<LookupCase> {};

TEST_P(HostLookupTest, GivesTheAddressesWithThePortOrWhyNot)
{
    const LookupCase& row = GetParam();
    const HostAddresses found = lookUpHost(row.host, 2323);
    EXPECT_EQ(found.failure, row.failure);
    EXPECT_THAT(numbersOf(found), testing::IsSupersetOf(row.numbers));
    EXPECT_EQ(found.addresses.empty(), row.numbers.empty());
    for (const SocketAddress& address : found.addresses)
        EXPECT_EQ(portOf(address), 2323) << numericText(address);
}

INSTANTIATE_TEST_SUITE_P(Rows, HostLookupTest,
                         testing::Values(LookupCase{"NumericIpv4", "127.0.0.1", {"127.0.0.1"}, ""},
                                         LookupCase{"NumericIpv6", "::1", {"::1"}, ""},
                                         LookupCase{"Localhost", "localhost", {"127.0.0.1"}, ""},
                                         LookupCase{"ZeroByteWouldMakeItAnotherName",
                                                    std::string("127.0.0.1\0.invalid", 18),
                                                    {},
                                                    "not a host name"}),
                         test_support::RowName());

TEST(HostLookupTest, NumericAddressGivesItselfOnly)
{
    EXPECT_EQ(numbersOf(lookUpHost("127.0.0.3", 23)), std::vector<std::string>{"127.0.0.3"});
    EXPECT_EQ(numbersOf(lookUpHost("::1", 23)), std::vector<std::string>{"::1"});
}

struct TypedCase {
    const char* name;
    std::string typed;
    std::string host;
};

class HostToLookUp : public testing::TestWithParam<TypedCase> {};

TEST_P(HostToLookUp, LeavesOutBlanksAndBrackets)
{
    EXPECT_EQ(hostToLookUp(GetParam().typed), GetParam().host);
}

INSTANTIATE_TEST_SUITE_P(Rows, HostToLookUp,
                         testing::Values(TypedCase{"AsItIs", "device.example", "device.example"},
                                         TypedCase{"BlankPastedAfter", "192.168.2.1 ", "192.168.2.1"},
                                         TypedCase{"BlanksTabsAndLineEnds", " \t192.168.2.1\r\n", "192.168.2.1"},
                                         TypedCase{"BlankInsideStays", "a b", "a b"},
                                         TypedCase{"Ipv6InBrackets", "[::1]", "::1"},
                                         TypedCase{"Ipv6InBracketsWithBlanks", " [fe80::1%eth0] ", "fe80::1%eth0"},
                                         TypedCase{"LoneBracket", "[", "["}, TypedCase{"OnlyBlanks", " \t ", ""},
                                         TypedCase{"Empty", "", ""}),
                         test_support::RowName());

} // namespace
} // namespace telvor
