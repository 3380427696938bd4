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
    {"DevicesZero", {"--tcp", "0", "--devices", "0"}, "bad value for --devices: 0"},
    {"DevicesOnATerminal", {"--pty", "x", "--devices", "2"}, "--devices needs --tcp"},
    {"DevicesBeyondTheLastPort",
     {"--tcp", "65530", "--devices", "7"},
     "--devices 7 from port 65530 go beyond port 65535"},
    {"ForADeviceBeyondTheLast",
     {"--tcp", "0", "--devices", "2", "--for", "3", "--silent", "VER?"},
     "--for 3: there are 2 devices"},
    {"ForASecondDeviceOfOne", {"--tcp", "0", "--for", "2", "--silent", "VER?"}, "--for 2: there is 1 device"},
    {"ForDeviceZero", {"--tcp", "0", "--for", "0", "--silent", "VER?"}, "bad value for --for: 0"},
    {"ForWithoutAFaultOption",
     {"--tcp", "0", "--devices", "2", "--for", "1", "--latency", "5"},
     "--for 1 needs a fault option after it"},
    {"ForWithABadFaultValue",
     {"--tcp", "0", "--devices", "2", "--for", "1", "--fault-at", "x"},
     "bad value for --fault-at: x"},
    {"ForWithoutTheFaultsValue", {"--tcp", "0", "--for", "1", "--silent"}, "--silent needs a value"},
};

INSTANTIATE_TEST_SUITE_P(Cases, BadOptions, testing::ValuesIn(kBadCases), test_support::RowName());

TEST(SimOptions, SeveralDevicesKeepTheirImagesInTheSaveFolder)
{
    const auto options = parsed({"--tcp", "0", "--devices", "20", "--save", "images"});
    ASSERT_TRUE(options);
    EXPECT_EQ(options->devices, 20);
    EXPECT_EQ(options->server.saveFolder, "images");
    EXPECT_EQ(options->server.saveFile, "");
}

TEST(SimOptions, ADevicesOwnFaultsComeOnTopOfEveryDevicesFaults)
{
    const auto options
        = parsed({"--tcp",     "0",     "--for",        "2",  "--silent",   "VER?",     "--devices",    "3",
                  "--silent",  "SMS",   "--for",        "3",  "--fault-at", "40:close", "--for",        "2",
                  "--corrupt", "PIN:5", "--drop-after", "90", "--for",      "3",        "--drop-after", "7"});
    ASSERT_TRUE(options);
    const DeviceFaults first = faultsOfDevice(*options, 1);
    EXPECT_EQ(first.silentPrefixes, std::vector<std::string>{"SMS"});
    EXPECT_TRUE(first.corruptAnswers.empty());
    EXPECT_TRUE(first.faultsAt.empty());
    EXPECT_EQ(first.dropAfter, 90);
    const DeviceFaults second = faultsOfDevice(*options, 2);
    EXPECT_EQ(second.silentPrefixes, (std::vector<std::string>{"SMS", "VER?"}));
    EXPECT_EQ(second.corruptAnswers.at("PIN"), 5);
    EXPECT_EQ(second.dropAfter, 90);
    const DeviceFaults third = faultsOfDevice(*options, 3);
    EXPECT_EQ(third.silentPrefixes, std::vector<std::string>{"SMS"});
    EXPECT_EQ(third.faultsAt.at(40), LineFault::Close);
    EXPECT_EQ(third.dropAfter, 7);
}

TEST(SimOptions, HelpDocumentsEveryOption)
{
    const std::string usage = simUsage();
    for (const char* option : {"--tcp", "--pty", "--baud", "--image", "--version-text", "--save", "--silent",
                               "--corrupt", "--reply-error", "--chunked", "--latency", "--drop-after", "--fault-at",
                               "--omit", "--report", "--verbose", "--help", "--devices", "--for"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    ASSERT_TRUE(parsed({"--help"}));
    EXPECT_TRUE(parsed({"--help"})->help);
}

} // namespace
} // namespace telvor
