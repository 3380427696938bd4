#include "cli/command_line.h"
#include "../support/row_name.h"

#include <gtest/gtest.h>

#include <array>

namespace telvor {
namespace {

int runNothing(const Invocation&)
{
    return kExitSuccess;
}

// A table in the shape the device commands take.
constexpr std::array kProbeCommands = {
    Command{"probe", "probe FILE.tvr", 1, kConnectionOptions | kBaseOption | kServiceOptions, runNothing},
    Command{"plain", "plain", 0, kNoOptions, runNothing},
};

ParsedCommandLine parse(QStringList arguments, std::string* error = nullptr)
{
    arguments.prepend("telvorctl");
    testing::internal::CaptureStderr();
    ParsedCommandLine parsed = parseCommandLine(arguments, kProbeCommands);
    const std::string printed = testing::internal::GetCapturedStderr();
    if (error)
        *error = printed;
    return parsed;
}

TEST(CommandLine, DeviceOptionsArriveCheckedInTheInvocation)
{
    const ParsedCommandLine parsed = parse({"--tcp", "127.0.0.1:2323", "--trace", "--strict-serial", "probe", "--base", "old.tvr",
                                            "--set-clock", "--erase-log", "new.tvr"});
    ASSERT_EQ(parsed.command, &kProbeCommands[0]);
    const Invocation& invocation = parsed.invocation;
    EXPECT_EQ(invocation.command, "probe");
    EXPECT_EQ(invocation.operands, std::vector<std::string>{"new.tvr"});
    EXPECT_EQ(invocation.connection.transport, ConnectionChoice::Transport::Tcp);
    EXPECT_EQ(invocation.connection.address, "127.0.0.1");
    EXPECT_EQ(invocation.connection.port, 2323);
    EXPECT_TRUE(invocation.trace);
    EXPECT_TRUE(invocation.strictSerial);
    EXPECT_EQ(invocation.baseFile, "old.tvr");
    EXPECT_TRUE(invocation.service.setClock);
    EXPECT_TRUE(invocation.service.eraseLog);
    EXPECT_FALSE(invocation.service.resetDevice);
    EXPECT_FALSE(invocation.service.resetCounters);
}

TEST(CommandLine, WithoutConnectionOptionsTheSavedSettingsApply)
{
    const ParsedCommandLine parsed = parse({"probe", "a.tvr", "--reset-device", "--reset-counters"});
    ASSERT_TRUE(parsed.command);
    EXPECT_EQ(parsed.invocation.connection.transport, ConnectionChoice::Transport::Saved);
    EXPECT_FALSE(parsed.invocation.trace);
    EXPECT_FALSE(parsed.invocation.strictSerial);
    EXPECT_FALSE(parsed.invocation.baseFile);
    EXPECT_TRUE(parsed.invocation.service.resetDevice);
    EXPECT_TRUE(parsed.invocation.service.resetCounters);
}

TEST(CommandLine, SerialPortNumber)
{
    const ParsedCommandLine parsed = parse({"--com", "255", "probe", "a.tvr"});
    ASSERT_TRUE(parsed.command);
    EXPECT_EQ(parsed.invocation.connection.transport, ConnectionChoice::Transport::Serial);
    EXPECT_EQ(parsed.invocation.connection.serialPortNumber, 255);
}

struct RefusedRow {
    const char* name;
    QStringList arguments;
    std::string error;
};

class CommandLineRefused : public testing::TestWithParam<RefusedRow> {};

TEST_P(CommandLineRefused, WithExitStatusTwoAndAMessage)
{
    std::string error;
    const ParsedCommandLine parsed = parse(GetParam().arguments, &error);
    EXPECT_EQ(parsed.command, nullptr);
    EXPECT_EQ(parsed.exitStatus, kExitUsage);
    EXPECT_EQ(error, "telvorctl: " + GetParam().error + "; see telvorctl --help\n");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CommandLineRefused,
    testing::Values(
        RefusedRow{"TcpAndCom", {"--tcp", "127.0.0.1", "--com", "1", "probe", "a.tvr"},
                   "give at most one connection, --tcp or --com"},
        RefusedRow{"TwoTcp", {"--tcp", "127.0.0.1", "--tcp", "127.0.0.2", "probe", "a.tvr"},
                   "give at most one connection, --tcp or --com"},
        RefusedRow{"BadAddress", {"--tcp", "127.0.0.1:99999", "probe", "a.tvr"},
                   "--tcp needs a dotted-decimal IPv4 address and an optional port from 1 to 65535, not \"127.0.0.1:99999\""},
        RefusedRow{"BadSerialPort", {"--com", "256", "probe", "a.tvr"},
                   "--com needs a port number from 0 to 255, not \"256\""},
        RefusedRow{"OptionOfAnotherCommand", {"plain", "--base", "a.tvr"}, "--base does not apply to plain"},
        RefusedRow{"StrictSerialWithoutConnection", {"--strict-serial", "plain"},
                   "--strict-serial does not apply to plain"},
        RefusedRow{"MissingOperand", {"--com", "1", "probe"},
                   "usage: telvorctl [CONNECTION] [--trace] probe FILE.tvr"}),
    test_support::RowName());

TEST(CommandLine, HelpNamesTheConnectionAndTheOptionsOfTheCommandsOffered)
{
    testing::internal::CaptureStdout();
    const ParsedCommandLine parsed = parse({"--help"});
    const std::string help = testing::internal::GetCapturedStdout();
    EXPECT_EQ(parsed.command, nullptr);
    EXPECT_EQ(parsed.exitStatus, kExitSuccess);
    EXPECT_TRUE(help.starts_with("Usage:\n  telvorctl [CONNECTION] [--trace] probe FILE.tvr\n  telvorctl plain\n"))
        << help;
    EXPECT_NE(help.find("CONNECTION is --tcp ADDRESS[:PORT] or --com N"), std::string::npos);
    EXPECT_NE(help.find("  --reset-counters"), std::string::npos);
    EXPECT_NE(help.find("  --base FILE.tvr"), std::string::npos);
    EXPECT_NE(help.find("  --strict-serial"), std::string::npos);
}

} // namespace
} // namespace telvor
