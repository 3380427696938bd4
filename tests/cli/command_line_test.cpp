#include "cli/command_line.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

#include <array>

namespace telvor {
namespace {

int runNothing(const Invocation&)
{
    return kExitSuccess;
}

// A table in the shape the device commands take, one without options, and
// one whose last operand repeats.
constexpr std::array kProbeCommands = {
    Command{"probe", "probe the device with FILE.tvr", "FILE.tvr", kConnectionOptions | kBaseOption | kServiceOptions,
            runNothing},
    Command{"plain", "do nothing plainly", "", kNoOptions, runNothing},
    Command{"many", "take FILE.tvr and one NAME or more", "FILE.tvr NAME...", kNoOptions, runNothing},
};

struct Printed {
    std::string output;
    std::string error;
};

ParsedCommandLine parse(const std::vector<std::string>& arguments, std::span<const Command> table, Printed& printed)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    ParsedCommandLine parsed = parseCommandLine(arguments, table);
    printed.output = testing::internal::GetCapturedStdout();
    printed.error = testing::internal::GetCapturedStderr();
    return parsed;
}

// The invocation in one line: the command and its operands, then what the
// options chose, in the order of the option table.
std::string described(const Invocation& invocation)
{
    std::string text = invocation.command;
    for (const std::string& operand : invocation.operands)
        text += " " + operand;
    const ConnectionChoice& connection = invocation.connection;
    if (connection.transport == ConnectionChoice::Transport::Tcp)
        text += " | tcp " + connection.address + ":" + std::to_string(connection.port);
    if (connection.transport == ConnectionChoice::Transport::Serial)
        text += " | com " + std::to_string(connection.serialPortNumber);
    const std::pair<bool, const char*> switches[] = {
        {invocation.trace, "trace"},
        {invocation.strictSerial, "strict-serial"},
        {invocation.quiet, "quiet"},
        {invocation.service.setClock, "set-clock"},
        {invocation.service.resetDevice, "reset-device"},
        {invocation.service.resetCounters, "reset-counters"},
        {invocation.service.eraseLog, "erase-log"},
        {invocation.probe, "probe"},
        {invocation.json, "json"},
    };
    for (const auto& [given, name] : switches)
        if (given)
            text += std::string(" | ") + name;
    if (invocation.baseFile)
        text += " | base " + *invocation.baseFile;
    if (invocation.historyFile)
        text += " | history " + *invocation.historyFile;
    const std::pair<bool, const char*> historySwitches[] = {
        {invocation.noHistory, "no-history"},
        {invocation.noBackup, "no-backup"},
    };
    for (const auto& [given, name] : historySwitches)
        if (given)
            text += std::string(" | ") + name;
    if (invocation.target)
        text += " | target " + *invocation.target;
    if (invocation.limit != 0)
        text += " | limit " + std::to_string(invocation.limit);
    if (invocation.image)
        text += std::string(" | image ")
            + (*invocation.image == ImageChoice::Sent       ? "sent"
                   : *invocation.image == ImageChoice::Read ? "read"
                                                            : "backup");
    if (invocation.olderThanDays)
        text += " | older-than " + std::to_string(*invocation.olderThanDays);
    return text;
}

struct AcceptedRow {
    const char* name;
    std::span<const Command> table;
    std::vector<std::string> arguments;
    std::string invocation; // described()
};

class CommandLineAccepted : public testing::TestWithParam<AcceptedRow> {};

TEST_P(CommandLineAccepted, IntoTheInvocation)
{
    const AcceptedRow& row = GetParam();
    Printed printed;
    const ParsedCommandLine parsed = parse(row.arguments, row.table, printed);
    EXPECT_EQ(printed.output, "");
    EXPECT_EQ(printed.error, "");
    ASSERT_NE(parsed.command, nullptr);
    EXPECT_EQ(commandPath(*parsed.command), parsed.invocation.command);
    EXPECT_EQ(described(parsed.invocation), row.invocation);
}

const char* const kProbeWithEverything
    = "probe new.tvr | tcp 127.0.0.1:2323 | trace | strict-serial | set-clock | erase-log | base old.tvr";

INSTANTIATE_TEST_SUITE_P(
    Rows, CommandLineAccepted,
    testing::Values(
        AcceptedRow{"OptionsAroundTheCommandWord",
                    kProbeCommands,
                    {"--tcp", "127.0.0.1:2323", "--trace", "--strict-serial", "probe", "--base", "old.tvr",
                     "--set-clock", "--erase-log", "new.tvr"},
                    kProbeWithEverything},
        AcceptedRow{"OptionsBeforeTheCommandWord",
                    kProbeCommands,
                    {"--base", "old.tvr", "--set-clock", "--tcp", "127.0.0.1:2323", "--erase-log", "--trace",
                     "--strict-serial", "probe", "new.tvr"},
                    kProbeWithEverything},
        AcceptedRow{"OptionsAfterTheCommandWord",
                    kProbeCommands,
                    {"probe", "new.tvr", "--strict-serial", "--set-clock", "--base", "old.tvr", "--trace",
                     "--erase-log", "--tcp", "127.0.0.1:2323"},
                    kProbeWithEverything},
        AcceptedRow{"ValuesJoinedByEquals",
                    kProbeCommands,
                    {"--tcp=127.0.0.1:2323", "--trace", "--strict-serial", "probe", "--base=old.tvr", "--set-clock",
                     "--erase-log", "new.tvr"},
                    kProbeWithEverything},
        AcceptedRow{"WithoutConnectionOptionsTheSavedSettingsApply",
                    kProbeCommands,
                    {"probe", "a.tvr", "--reset-device", "--reset-counters"},
                    "probe a.tvr | reset-device | reset-counters"},
        AcceptedRow{"TcpPortDefault",
                    kProbeCommands,
                    {"--tcp", "127.0.0.2", "probe", "a.tvr"},
                    "probe a.tvr | tcp 127.0.0.2:23"},
        AcceptedRow{
            "TcpHostName", kProbeCommands, {"--tcp=localhost", "probe", "a.tvr"}, "probe a.tvr | tcp localhost:23"},
        AcceptedRow{"TcpIpv6Alone", kProbeCommands, {"--tcp", "::1", "probe", "a.tvr"}, "probe a.tvr | tcp ::1:23"},
        AcceptedRow{"TcpIpv6InBracketsWithPort",
                    kProbeCommands,
                    {"probe", "a.tvr", "--tcp", "[::1]:2323"},
                    "probe a.tvr | tcp ::1:2323"},
        AcceptedRow{"SerialPortNumber", kProbeCommands, {"--com", "255", "probe", "a.tvr"}, "probe a.tvr | com 255"},
        AcceptedRow{"SerialPortZeroAfterTheCommandWord",
                    kProbeCommands,
                    {"probe", "--com", "0", "a.tvr"},
                    "probe a.tvr | com 0"},
        AcceptedRow{"SwitchBeforeAndAfterTheCommandWord",
                    kProbeCommands,
                    {"--trace", "probe", "--trace", "a.tvr"},
                    "probe a.tvr | trace"},
        AcceptedRow{"LastBaseCounts",
                    kProbeCommands,
                    {"--base", "one.tvr", "probe", "--base", "two.tvr", "a.tvr"},
                    "probe a.tvr | base two.tvr"},
        AcceptedRow{"FileNamesKeepTheirBytes",
                    kProbeCommands,
                    {"probe", "--base", "\xB9\xE8.tvr", "\xC5\xA1\xFF.tvr"},
                    "probe \xC5\xA1\xFF.tvr | base \xB9\xE8.tvr"},
        AcceptedRow{
            "OperandLikeAnOptionAfterDoubleDash", kProbeCommands, {"probe", "--", "--trace.tvr"}, "probe --trace.tvr"},
        AcceptedRow{"OperandNamedLikeACommand", kProbeCommands, {"probe", "plain"}, "probe plain"},
        AcceptedRow{"CommandWithoutOperands", kProbeCommands, {"plain"}, "plain"},
        AcceptedRow{"RepeatedOperandOnce", kProbeCommands, {"many", "a.tvr", "x"}, "many a.tvr x"},
        AcceptedRow{"RepeatedOperandThrice", kProbeCommands, {"many", "a.tvr", "x", "y", "z"}, "many a.tvr x y z"},
        AcceptedRow{
            "VersionWithTcpBefore", commands(), {"--tcp", "127.0.0.1:5", "version"}, "version | tcp 127.0.0.1:5"},
        AcceptedRow{
            "VersionWithTcpAfter", commands(), {"version", "--tcp", "127.0.0.1:5"}, "version | tcp 127.0.0.1:5"},
        AcceptedRow{"ReadWithBaseBefore",
                    commands(),
                    {"--com", "3", "--base", "old.tvr", "read", "out.tvr"},
                    "read out.tvr | com 3 | base old.tvr"},
        AcceptedRow{
            "WriteWithServiceOptionsBeforeAndAfter",
            commands(),
            {"--set-clock", "write", "--reset-device", "new.tvr", "--reset-counters", "--erase-log", "--strict-serial"},
            "write new.tvr | strict-serial | set-clock | reset-device | reset-counters | erase-log"},
        AcceptedRow{"VersionQuietlyAsJson",
                    commands(),
                    {"--quiet", "version", "--json", "--com", "2"},
                    "version | com 2 | quiet | json"},
        AcceptedRow{"PortsProbedAsJson", commands(), {"--json", "ports", "--probe"}, "ports | probe | json"},
        AcceptedRow{"Show", commands(), {"show", "a.tvr"}, "show a.tvr"},
        AcceptedRow{"Diff", commands(), {"diff", "a.tvr", "b.tvr"}, "diff a.tvr b.tvr"},
        AcceptedRow{"WriteWithoutBackup", commands(), {"--no-backup", "write", "a.tvr"}, "write a.tvr | no-backup"},
        AcceptedRow{"ReadIntoNoHistory", commands(), {"read", "a.tvr", "--no-history"}, "read a.tvr | no-history"},
        AcceptedRow{"CheckIntoAHistoryFile",
                    commands(),
                    {"check", "--history", "h.sqlite3", "a.tvr"},
                    "check a.tvr | history h.sqlite3"},
        AcceptedRow{"RestoreAnImageElsewhere",
                    commands(),
                    {"restore", "--tcp", "127.0.0.1", "--image", "sent", "4"},
                    "restore 4 | tcp 127.0.0.1:23 | image sent"},
        AcceptedRow{"HistoryList",
                    commands(),
                    {"history", "--limit", "3", "--json", "--target", "com:1:/dev/ttyS0"},
                    "history | json | target com:1:/dev/ttyS0 | limit 3"},
        AcceptedRow{"HistoryFileBeforeTheCommandWords",
                    commands(),
                    {"--history", "h.sqlite3", "history", "show", "7"},
                    "history show 7 | history h.sqlite3"},
        AcceptedRow{"HistoryFileBetweenTheCommandWords",
                    commands(),
                    {"history", "--history", "h.sqlite3", "show", "7"},
                    "history show 7 | history h.sqlite3"},
        AcceptedRow{"HistoryExportAnImage",
                    commands(),
                    {"history", "export", "7", "--image", "backup", "out.tvr"},
                    "history export 7 out.tvr | image backup"},
        AcceptedRow{
            "HistoryPrune", commands(), {"history", "prune", "--older-than", "30"}, "history prune | older-than 30"},
        AcceptedRow{"ShowIsStillItsOwnCommand", commands(), {"show", "7"}, "show 7"}),
    test_support::RowName());

struct RefusedRow {
    const char* name;
    std::vector<std::string> arguments;
    std::string error;
};

class CommandLineRefused : public testing::TestWithParam<RefusedRow> {};

TEST_P(CommandLineRefused, WithExitStatusTwoAndAMessage)
{
    Printed printed;
    const ParsedCommandLine parsed = parse(GetParam().arguments, kProbeCommands, printed);
    EXPECT_EQ(parsed.command, nullptr);
    EXPECT_EQ(parsed.exitStatus, kExitUsage);
    EXPECT_EQ(printed.output, "");
    EXPECT_EQ(printed.error, "telvorctl: " + GetParam().error + "; see telvorctl --help\n");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CommandLineRefused,
    testing::Values(
        RefusedRow{"NoArguments", {}, "no command given"},
        RefusedRow{"OptionsWithoutCommand", {"--tcp", "127.0.0.1", "--trace"}, "no command given"},
        RefusedRow{"UnknownCommand", {"print", "a.tvr"}, "unknown command \"print\""},
        RefusedRow{"UnknownWordBeforeTheCommand", {"print", "plain"}, "unknown command \"print\""},
        RefusedRow{"UnknownOption", {"probe", "--bogus", "a.tvr"}, "unknown option \"--bogus\""},
        RefusedRow{"UnknownOptionBeforeAnUnknownCommand", {"print", "-x"}, "unknown option \"-x\""},
        RefusedRow{"UnknownOptionWithValue", {"--bogus=1", "plain"}, "unknown option \"--bogus=1\""},
        RefusedRow{"MissingValue", {"probe", "a.tvr", "--base"}, "--base: 1 required FILE.tvr missing"},
        RefusedRow{"MissingValueOfAnOptionThatDoesNotApply", {"plain", "--com"}, "--com: 1 required N missing"},
        RefusedRow{"ValueOfASwitch", {"--trace=yes", "probe", "a.tvr"}, "trace was given a disallowed flag override"},
        RefusedRow{"TcpAndCom",
                   {"--tcp", "127.0.0.1", "--com", "1", "probe", "a.tvr"},
                   "give at most one connection, --tcp or --com"},
        RefusedRow{"TwoTcp",
                   {"--tcp", "127.0.0.1", "--tcp", "127.0.0.2", "probe", "a.tvr"},
                   "give at most one connection, --tcp or --com"},
        RefusedRow{"TcpBeforeAndComAfterTheCommandWord",
                   {"--tcp", "127.0.0.1", "probe", "--com", "1", "a.tvr"},
                   "give at most one connection, --tcp or --com"},
        RefusedRow{"BadAddress",
                   {"--tcp", "127.0.0.1:99999", "probe", "a.tvr"},
                   "--tcp needs a host name, an IPv4 address or an IPv6 address (in brackets before a port) and an "
                   "optional port from 1 to 65535, not \"127.0.0.1:99999\""},
        RefusedRow{"BadAddressAfterTheCommandWord",
                   {"probe", "a.tvr", "--tcp=local host"},
                   "--tcp needs a host name, an IPv4 address or an IPv6 address (in brackets before a port) and an "
                   "optional port from 1 to 65535, not \"local host\""},
        RefusedRow{"BadSerialPort",
                   {"--com", "256", "probe", "a.tvr"},
                   "--com needs a port number from 0 to 255, not \"256\""},
        RefusedRow{"OptionOfAnotherCommand", {"plain", "--base", "a.tvr"}, "--base does not apply to plain"},
        RefusedRow{"OptionOfAnotherCommandBeforeTheCommandWord",
                   {"--set-clock", "plain"},
                   "--set-clock does not apply to plain"},
        RefusedRow{
            "StrictSerialWithoutConnection", {"--strict-serial", "plain"}, "--strict-serial does not apply to plain"},
        RefusedRow{"QuietWithoutConnection", {"plain", "--quiet"}, "--quiet does not apply to plain"},
        RefusedRow{"JsonOfACommandWithoutIt", {"--json", "probe", "a.tvr"}, "--json does not apply to probe"},
        RefusedRow{"MissingOperand",
                   {"--com", "1", "probe"},
                   "usage: telvorctl [CONNECTION] [--trace] probe [--base FILE.tvr] [--set-clock] [--reset-device] "
                   "[--reset-counters] [--erase-log] FILE.tvr"},
        RefusedRow{"OperandTooMany", {"plain", "a.tvr"}, "usage: telvorctl plain"},
        RefusedRow{"SecondCommandWord", {"plain", "probe"}, "usage: telvorctl plain"},
        RefusedRow{"RepeatedOperandMissing", {"many", "a.tvr"}, "usage: telvorctl many FILE.tvr NAME..."}),
    test_support::RowName());

struct HelpRow {
    const char* name;
    std::vector<std::string> arguments;
    std::string beginning;
    std::vector<std::string> shown;
    std::vector<std::string> notShown;
};

class CommandLineHelp : public testing::TestWithParam<HelpRow> {};

TEST_P(CommandLineHelp, IsPrintedWithExitStatusZero)
{
    const HelpRow& row = GetParam();
    Printed printed;
    const ParsedCommandLine parsed = parse(row.arguments, kProbeCommands, printed);
    EXPECT_EQ(parsed.command, nullptr);
    EXPECT_EQ(parsed.exitStatus, kExitSuccess);
    EXPECT_EQ(printed.error, "");
    EXPECT_TRUE(printed.output.starts_with(row.beginning)) << printed.output;
    EXPECT_TRUE(printed.output.ends_with("\n")) << printed.output;
    EXPECT_FALSE(printed.output.ends_with("\n\n")) << printed.output;
    for (const std::string& text : row.shown)
        EXPECT_NE(printed.output.find(text), std::string::npos) << text << " in\n" << printed.output;
    for (const std::string& text : row.notShown)
        EXPECT_EQ(printed.output.find(text), std::string::npos) << text << " in\n" << printed.output;
}

const std::string kProbeUsage
    = "telvorctl [CONNECTION] [--trace] probe [--base FILE.tvr] [--set-clock] [--reset-device] "
      "[--reset-counters] [--erase-log] FILE.tvr";

const std::vector<std::string> kEveryOption = {
    "\n  --tcp ADDRESS[:PORT]        TCP to the device at ADDRESS, a host name or an IPv4 or IPv6 address "
    "([::1]:PORT), PORT 23 unless given\n",
    "\n  --com N                     serial port number N (0 to 255)\n",
    "\n  --trace                     print every line sent and received on standard error\n",
    "\n  --strict-serial             end each serial reply only at a 500 ms pause, never at its content\n",
    "\n  --base FILE.tvr             start from this settings file: read instead of all zero, import instead of the "
    "factory defaults\n",
    "\n  --set-clock                 Set RTC clock in device\n",
    "\n  --reset-device              RESET device after update\n",
    "\n  --reset-counters            Reset counters\n",
    "\n  --erase-log                 Erase log memory\n",
    "\n  -h,--help ",
};

std::vector<std::string> programHelpShows()
{
    std::vector<std::string> shown = kEveryOption;
    shown.insert(shown.end(),
                 {"\n  --version ", "\nOptions of probe:\n", "\nCommands:\n",
                  "\n  probe                       probe the device with FILE.tvr\n",
                  "\n  plain                       do nothing plainly\n",
                  "\n  many                        take FILE.tvr and one NAME or more\n",
                  "\nCONNECTION is --tcp ADDRESS[:PORT] or --com N; without one, the connection\n",
                  "\nExit status: 0 success, 1 failure or differences, 2 wrong usage or file error.\n"});
    return shown;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CommandLineHelp,
    testing::Values(
        HelpRow{"Program",
                {"--help"},
                "Usage:\n  " + kProbeUsage
                    + "\n  telvorctl plain\n  telvorctl many FILE.tvr NAME...\n  telvorctl --help | --version\n\n",
                programHelpShows(),
                {}},
        HelpRow{"ProgramShort", {"-h"}, "Usage:\n  " + kProbeUsage + "\n", programHelpShows(), {}},
        HelpRow{"ProgramAmongOtherArguments",
                {"--trace", "--help", "--bogus"},
                "Usage:\n  " + kProbeUsage + "\n",
                programHelpShows(),
                {}},
        HelpRow{"Command",
                {"probe", "--help"},
                "probe the device with FILE.tvr\nUsage: " + kProbeUsage + "\n",
                kEveryOption,
                {"--version", "\nCommands:\n", "plain"}},
        HelpRow{"CommandAmongOtherArguments",
                {"--tcp", "127.0.0.1", "probe", "a.tvr", "-h"},
                "probe the device with FILE.tvr\nUsage: " + kProbeUsage + "\n",
                kEveryOption,
                {}},
        HelpRow{"CommandWithoutOptions",
                {"plain", "--help"},
                "do nothing plainly\nUsage: telvorctl plain\n",
                {"\n  -h,--help "},
                {"--tcp", "--trace", "--base", "--set-clock"}},
        HelpRow{"CommandWithOperands",
                {"many", "--help"},
                "take FILE.tvr and one NAME or more\nUsage: telvorctl many FILE.tvr NAME...\n",
                {"\n  FILE.tvr ", "\n  NAME ", "\n  -h,--help "},
                {"--tcp"}}),
    test_support::RowName());

TEST(CommandLine, VersionIsPrintedWithExitStatusZero)
{
    Printed printed;
    const ParsedCommandLine parsed = parse({"plain", "--version"}, kProbeCommands, printed);
    EXPECT_EQ(parsed.command, nullptr);
    EXPECT_EQ(parsed.exitStatus, kExitSuccess);
    EXPECT_EQ(printed.output, "telvorctl " TELVOR_VERSION "\n");
    EXPECT_EQ(printed.error, "");
}

} // namespace
} // namespace telvor
