#include "sim/sim_options.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

namespace telvor {
namespace {

std::optional<SimOptions> parsed(std::vector<std::string> arguments, std::string* error = nullptr)
{
    std::string message;
    auto options = parseSimOptions(arguments, message);
    if (error)
        *error = message;
    return options;
}

TEST(SimOptions, TcpTakesLoopbackUnlessAnAddressIsGiven)
{
    auto options = parsed({"--tcp", "0"});
    ASSERT_TRUE(options);
    EXPECT_EQ(options->tcpAddress, "127.0.0.1");
    EXPECT_EQ(options->tcpPort, 0);
    options = parsed({"--tcp", "127.0.0.2:7001"});
    ASSERT_TRUE(options);
    EXPECT_EQ(options->tcpAddress, "127.0.0.2");
    EXPECT_EQ(options->tcpPort, 7001);
}

TEST(SimOptions, EveryOptionLandsInItsSetting)
{
    const auto options = parsed(
        {"--pty",        "/tmp/link", "--baud",        "9600",      "--image",    "in.tvr",    "--version-text",
         "v2.8D",        "--save",    "out.tvr",       "--silent",  "SMS",        "--silent",  "XMS3",
         "--corrupt",    "PIN:2",     "--reply-error", "ECFG",      "--chunked",  "--latency", "25",
         "--drop-after", "7",         "--fault-at",    "3:garbage", "--fault-at", "5:close",   "--omit",
         "ATIM",         "--report",  "URL1=a=b",      "--verbose"});
    ASSERT_TRUE(options);
    EXPECT_EQ(options->ptyLink, "/tmp/link");
    EXPECT_FALSE(options->tcpAddress);
    EXPECT_EQ(options->server.baud, 9600);
    EXPECT_EQ(options->imageFile, "in.tvr");
    EXPECT_EQ(options->versionText, "v2.8D");
    EXPECT_EQ(options->server.saveFile, "out.tvr");
    EXPECT_EQ(options->faults.silentPrefixes, (std::vector<std::string>{"SMS", "XMS3"}));
    EXPECT_EQ(options->faults.corruptAnswers.at("PIN"), 2);
    EXPECT_EQ(options->faults.errorPrefixes, std::vector<std::string>{"ECFG"});
    EXPECT_TRUE(options->server.chunked);
    EXPECT_EQ(options->server.latency, std::chrono::milliseconds(25));
    EXPECT_EQ(options->faults.dropAfter, 7);
    EXPECT_EQ(options->faults.faultsAt.at(3), LineFault::Garbage);
    EXPECT_EQ(options->faults.faultsAt.at(5), LineFault::Close);
    EXPECT_TRUE(options->faults.omittedKeys.contains("ATIM"));
    EXPECT_EQ(options->faults.reportedValues.at("URL1"), "a=b");
    EXPECT_TRUE(options->server.verbose);
}

struct BadCase {
    const char* name;
    std::vector<std::string> arguments;
    std::string error;
};

void PrintTo(const BadCase& row, std::ostream* out)
{
    *out << row.name;
}

class BadOptions : public testing::TestWithParam<BadCase> {};

TEST_P(BadOptions, AreRefusedWithAReason)
{
    std::string error;
    EXPECT_FALSE(parsed(GetParam().arguments, &error));
    EXPECT_EQ(error, GetParam().error);
}

const BadCase kBadCases[] = {
    {"NoTransport", {"--chunked"}, "give either --tcp or --pty"},
    {"TwoTransports", {"--tcp", "0", "--pty", "x"}, "give either --tcp or --pty"},
    {"UnknownOption", {"--tcp", "0", "--fast"}, "unknown option --fast"},
    {"MissingValue", {"--tcp"}, "--tcp needs a value"},
    {"PortOutOfRange", {"--tcp", "65536"}, "bad value for --tcp: 65536"},
    {"PortNotANumber", {"--tcp", "127.0.0.1:http"}, "bad value for --tcp: 127.0.0.1:http"},
    {"FaultKindUnknown", {"--tcp", "0", "--fault-at", "3:explode"}, "bad value for --fault-at: 3:explode"},
    {"FaultLineZero", {"--tcp", "0", "--fault-at", "0:close"}, "bad value for --fault-at: 0:close"},
    {"CorruptWithoutCount", {"--tcp", "0", "--corrupt", "PIN"}, "bad value for --corrupt: PIN"},
    {"ReportWithoutValue", {"--tcp", "0", "--report", "PIN"}, "bad value for --report: PIN"},
    {"DropAfterZero", {"--tcp", "0", "--drop-after", "0"}, "bad value for --drop-after: 0"},
    {"NegativeLatency", {"--tcp", "0", "--latency", "-1"}, "bad value for --latency: -1"},
    {"BaudZero", {"--tcp", "0", "--baud", "0"}, "bad value for --baud: 0"},
};

INSTANTIATE_TEST_SUITE_P(Cases, BadOptions, testing::ValuesIn(kBadCases), test_support::RowName());

TEST(SimOptions, HelpDocumentsEveryOption)
{
    const std::string usage = simUsage();
    for (const char* option :
         {"--tcp", "--pty", "--baud", "--image", "--version-text", "--save", "--silent", "--corrupt", "--reply-error",
          "--chunked", "--latency", "--drop-after", "--fault-at", "--omit", "--report", "--verbose", "--help"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    ASSERT_TRUE(parsed({"--help"}));
    EXPECT_TRUE(parsed({"--help"})->help);
}

} // namespace
} // namespace telvor
