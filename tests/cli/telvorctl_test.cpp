#include "cli/commands.h"
#include "image/field_value.h"
#include "image/settings_file.h"
#include "image/settings_parser.h"
#include "support/parsed_fields.h"
#include "support/program_run.h"
#include "support/row_name.h"

#include <algorithm>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace telvor {
namespace {

namespace fs = std::filesystem;

ProgramRun telvorctl(const std::vector<std::string>& arguments)
{
    return runBuiltProgram("telvorctl", arguments);
}

const char* const kZeroImageShown
    = "PIN=\nNUM0=\nNUM1=\nNUM2=\nNUM3=\nNUM4=\nNUM5=\nTRPT=0\nCOPS=0\nRPTHR=0,0,0\nALMD=0,0\n"
      "ULOx=0,0,0,0,0,0,0,0\nUHIx=0,0,0,0,0,0,0,0\nICFGx=0,0,0,0,0,0,0,0\nSCFGx=0,0,0,0,0,0,0,0\n"
      "OCFGx=0,0,0,0,0,0,0,0\nSCFG=0\nSLIM=0\nHIST1=0\nHIST2=0\nRCFG=00,00,00\nCLIP=00,00\nCTRL=00,00\n"
      "CSDC=0\nMCFG1=0\nSMS0=\nSMS1=\nSMS2=\nSMS3=\nSMS4=\nSMS5=\nSMS6=\nSMS7=\nSMS8=\nSMS9=\nLOGT=0\n"
      "GRDHR=0,0,0\nAPN0=\nAPN1=\nAPN2=\nAPN3=\nAPN4=\nAPN5=\nAPN6=\nEAD0=\nEAD1=\nEAD2=\nEAD3=\nEAD4=\n"
      "EAD5=\nSEMLx=0,0,0,0,0,0,0,0\nADELx=0,0,0,0,0,0,0,0\nSLOG=0\nSLGT=0\nMCFG2=0\nSXML=0\n"
      "XCFGx=0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0\nXMS1=\nXMS2=\nXMS3=\nXMS4=\nXMS5=\nXMS6=\nXMS7=\nXMS8=\n"
      "XMS9=\nXMS10=\nXMS11=\nXMS12=\nXMS13=\nXMS14=\nXMS15=\nXMS16=\nXMS17=\nATIM=0\nNUM6=\nNUM7=\n"
      "NUM8=\nNUM9=\nNUM10=\nECFGx=0,0,0,0,0,0,0,0\nSCLAx=0,0,0,0,0,0,0,0\nSCLBx=0,0,0,0,0,0,0,0\n"
      "THTP=0\nNUID=0\nTGAC=0\nURL0=\nURL1=\nURL2=\nXTYP1=0\nXLO1=0\nXHI1=0\nXTYP9=0\nXLO9=0\nXHI9=0\n"
      "WKDx=0,0,0\n";

class Telvorctl : public testing::Test {
protected:
    void SetUp() override
    {
        m_directory = fs::temp_directory_path()
            / ("telvorctl-test-" + std::to_string(::getpid()) + "-"
               + testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_directory);
        fs::create_directories(m_directory);
    }
    void TearDown() override { fs::remove_all(m_directory); }

    std::string save(const std::string& name, const SettingsImage& image) const
    {
        const std::string path = (m_directory / name).string();
        EXPECT_TRUE(writeSettingsFile(path, image).ok);
        return path;
    }

    std::string saveBytes(const std::string& name, const std::string& bytes) const
    {
        const std::string path = (m_directory / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    fs::path m_directory;
};

TEST_F(Telvorctl, ShowsAZeroFileAsEveryKeyInTheParsersOrder)
{
    const ProgramRun run = telvorctl({"show", save("zero.tvr", SettingsImage())});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardOutput, kZeroImageShown);
    EXPECT_EQ(run.standardError, "");
}

TEST_F(Telvorctl, ShowsTextsInTheTerminalsEncodingAndValuesAsTheDeviceWritesThem)
{
    SettingsImage image;
    image.setText(slot("SMS", 1),
                  "\x8A"
                  "ar \xB9"
                  "ek @UL");
    image.setText(slot("PIN"), "1234");
    image.setNumber(slot("TRPT"), 60);
    image.setNumber(slot("COPS"), 0xFFFF);
    image.setNumber(slot("CLIP"), 159);
    image.setNumber(slot("CLIP", Field::kNotIndexed, 2), 5);
    image.setNumber(slot("SCLB", 2), -250);
    image.setText(slot("URL2"), "*101*1");
    image.setU8(slot("URL2", Field::kNotIndexed, 7), '#');
    const ProgramRun run = telvorctl({"show", save("texts.tvr", image)});
    EXPECT_EQ(run.exitStatus, 0);
    const std::string& out = run.standardOutput;
    EXPECT_NE(out.find("\nSMS1=\xC5\xA0"
                       "ar \xC4\x85"
                       "ek @UL\nSMS2=\n"),
              std::string::npos)
        << out;
    EXPECT_TRUE(out.starts_with("PIN=1234\n"));
    EXPECT_NE(out.find("\nTRPT=60\nCOPS=65535\n"), std::string::npos);
    EXPECT_NE(out.find("\nCLIP=159,05\n"), std::string::npos);
    EXPECT_NE(out.find("\nSCLBx=0,-250,0,0,0,0,0,0\n"), std::string::npos);
    EXPECT_NE(out.find("\nURL2=*101*1#\n"), std::string::npos);
}

// What show prints, every LF made a CR, parsed as a version 3.6 answer,
// gives back every parsed field of a file with printable texts.
TEST_F(Telvorctl, ShownFilesReadBackThroughTheParser)
{
    std::mt19937 random(99);
    for (int round = 0; round < 5; ++round) {
        const SettingsImage source = randomParsableImage(random);
        const ProgramRun run = telvorctl({"show", save("random.tvr", source)});
        ASSERT_EQ(run.exitStatus, 0);
        std::string answer = run.standardOutput;
        std::replace(answer.begin(), answer.end(), '\n', '\r');
        SettingsImage target;
        parseSettings(answer, target, 0x36);
        for (const Slot& element : parsedSlots())
            ASSERT_EQ(fieldValueText(target, element), fieldValueText(source, element)) << element.name();
    }
}

TEST_F(Telvorctl, ShowsAShortFileAsReadFromFileReadsIt)
{
    const ProgramRun run = telvorctl({"show", saveBytes("short.tvr", "12")});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_TRUE(run.standardOutput.starts_with("PIN=12\nNUM0=\n"));
}

TEST_F(Telvorctl, DiffOfEqualFilesPrintsNothing)
{
    SettingsImage image;
    image.setText(slot("NUM", 2), "+48600100200");
    const ProgramRun run = telvorctl({"diff", save("a.tvr", image), save("b.tvr", image)});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardOutput, "");
    EXPECT_EQ(run.standardError, "");
}

TEST_F(Telvorctl, DiffListsEveryDifferingElementAndReservedByte)
{
    SettingsImage a;
    a.setText(slot("PIN"), "1234");
    a.setText(slot("SMS", 9), "Report \x8A");
    a.setNumber(slot("SCLA", 3), -5);
    SettingsImage b = a;
    b.setText(slot("PIN"), "12");
    b.setText(slot("SMS", 9), "Report \x9A");
    b.setNumber(slot("ICFG", 3), 9);
    b.setNumber(slot("SCLA", 3), 1000);
    b.setNumber(slot("RCFG", Field::kNotIndexed, 2), 3);
    b.bytes()[slot("RPTHR").offset + 1] = 0x80;
    b.setU8(slot("URL2", Field::kNotIndexed, 7), '5');
    b.bytes()[2020] = 0xAB;
    b.bytes()[3595] = 0x01;
    b.bytes()[slot("NUM", 1).offset + 10] = 'z'; // after the text's end: no difference

    const ProgramRun run = telvorctl({"diff", save("a.tvr", a), save("b.tvr", b)});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.standardOutput,
              "PIN: 1234 -> 12\n"
              "ICFG3: 0 -> 9\n"
              "SMS9: Report \xC5\xA0 -> Report \xC5\xA1\n"
              "RPTHR: 0,0,0,0 -> 0,128,0,0\n"
              "reserved 2020: 0x00 -> 0xAB\n"
              "RCFG.2: 0 -> 3\n"
              "SCLA3: -5 -> 1000\n"
              "URL2.7:  -> 5\n"
              "reserved 3595: 0x00 -> 0x01\n");
    EXPECT_EQ(run.standardError, "");
}

struct UsageRow {
    const char* name;
    std::vector<std::string> arguments;
    std::string error;
};

class TelvorctlUsage : public testing::TestWithParam<UsageRow> {};

TEST_P(TelvorctlUsage, IsRefusedWithExitStatusTwo)
{
    const ProgramRun run = telvorctl(GetParam().arguments);
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(run.standardOutput, "");
    EXPECT_EQ(run.standardError, "telvorctl: " + GetParam().error + "; see telvorctl --help\n");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TelvorctlUsage,
    testing::Values(
        UsageRow{"NoCommand", {}, "no command given"},
        UsageRow{"UnknownCommand", {"print", "a.tvr"}, "unknown command \"print\""},
        UsageRow{"ShowWithoutFile", {"show"}, "usage: telvorctl show FILE.tvr"},
        UsageRow{"ShowWithTwoFiles", {"show", "a.tvr", "b.tvr"}, "usage: telvorctl show FILE.tvr"},
        UsageRow{"DiffWithOneFile", {"diff", "a.tvr"}, "usage: telvorctl diff A.tvr B.tvr"},
        UsageRow{"UnknownOption", {"--bogus", "show", "a.tvr"}, "unknown option \"--bogus\""},
        UsageRow{"MissingOptionValue", {"show", "a.tvr", "--tcp"}, "--tcp: 1 required ADDRESS[:PORT] missing"},
        UsageRow{"BaseForWrite", {"--base", "a.tvr", "write", "b.tvr"}, "--base does not apply to write"},
        UsageRow{"ServiceOptionForRead", {"read", "--set-clock", "out.tvr"}, "--set-clock does not apply to read"},
        UsageRow{
            "ReadWithoutFile",
            {"--tcp", "127.0.0.1", "read"},
            "usage: telvorctl [CONNECTION] [--trace] read [--base FILE.tvr] [--history FILE] [--no-history] OUT.tvr"},
        UsageRow{"WriteWithTwoFiles",
                 {"write", "a.tvr", "b.tvr"},
                 "usage: telvorctl [CONNECTION] [--trace] write [--set-clock] [--reset-device] "
                 "[--reset-counters] [--erase-log] [--history FILE] [--no-history] [--no-backup] FILE.tvr"},
        UsageRow{"VersionWithAFile",
                 {"version", "a.tvr"},
                 "usage: telvorctl [CONNECTION] [--trace] version [--history FILE] [--no-history] [--json]"},
        UsageRow{"ConnectionForShow", {"--tcp", "127.0.0.1", "show", "a.tvr"}, "--tcp does not apply to show"},
        UsageRow{"SerialForDiff", {"diff", "--com", "1", "a.tvr", "b.tvr"}, "--com does not apply to diff"},
        UsageRow{"TraceForShow", {"show", "--trace", "a.tvr"}, "--trace does not apply to show"},
        UsageRow{"ServiceOptionForShow", {"show", "--erase-log", "a.tvr"}, "--erase-log does not apply to show"},
        UsageRow{"HistoryShowWithoutId", {"history", "show"}, "usage: telvorctl history show [--history FILE] ID"},
        UsageRow{"HistoryExportWithoutFile",
                 {"history", "export", "3"},
                 "usage: telvorctl history export [--history FILE] [--image KIND] ID OUT.tvr"},
        UsageRow{"HistoryWithAWord",
                 {"history", "all"},
                 "usage: telvorctl history [--history FILE] [--target T] "
                 "[--limit N] [--json]"},
        UsageRow{
            "ListOptionOfHistoryShow", {"history", "show", "3", "--json"}, "--json does not apply to history show"},
        UsageRow{"ListOptionBeforeHistoryShow",
                 {"history", "--limit", "2", "show", "3"},
                 "--limit does not apply to history show"},
        UsageRow{"ConnectionForHistory", {"--tcp", "127.0.0.1", "history"}, "--tcp does not apply to history"},
        UsageRow{"NoHistoryForRestore", {"restore", "--no-history", "3"}, "--no-history does not apply to restore"},
        UsageRow{"NoBackupForRead", {"read", "--no-backup", "a.tvr"}, "--no-backup does not apply to read"},
        UsageRow{"HistoryAndNoHistory",
                 {"--history", "h.sqlite3", "--no-history", "version"},
                 "give --history FILE or --no-history, not both"},
        UsageRow{"EmptyHistoryFile", {"--history", "", "version"}, "--history needs a file name"},
        UsageRow{"LimitZero", {"history", "--limit", "0"}, "--limit needs a whole number from 1 on, not \"0\""},
        UsageRow{"LimitNotANumber", {"history", "--limit", "5x"}, "--limit needs a whole number from 1 on, not \"5x\""},
        UsageRow{"UnknownImage",
                 {"history", "export", "--image", "verification", "3", "a.tvr"},
                 "--image needs sent, read or backup, not \"verification\""},
        UsageRow{"NegativeAge",
                 {"history", "prune", "--older-than", "-1"},
                 "--older-than needs a whole number of days, not \"-1\""},
        UsageRow{"OutputForShow", {"show", "-o", "b.tvr", "a.tvr"}, "-o does not apply to show"},
        UsageRow{"OutputTwice", {"export", "-o", "a.yaml", "--output", "b.yaml", "x.tvr"}, "give -o once"},
        UsageRow{"SetWithoutAssignments", {"set", "a.tvr"}, "usage: telvorctl set [-o OUT] FILE PATH=VALUE..."},
        UsageRow{"ImportWithoutDocuments",
                 {"import", "-o", "a.tvr"},
                 "usage: telvorctl import [--base FILE.tvr] [-o OUT] DOC.yaml..."}),
    test_support::RowName());

TEST_F(Telvorctl, FileThatCannotBeOpenedIsNamedWithTheReason)
{
    const std::string missing = (m_directory / "missing.tvr").string();
    const ProgramRun show = telvorctl({"show", missing});
    EXPECT_EQ(show.exitStatus, 2);
    EXPECT_EQ(show.standardOutput, "");
    EXPECT_EQ(show.standardError, "telvorctl: File open error! " + missing + ": No such file or directory\n");

    const ProgramRun diff = telvorctl({"diff", save("a.tvr", SettingsImage()), m_directory.string()});
    EXPECT_EQ(diff.exitStatus, 2);
    EXPECT_EQ(diff.standardOutput, "");
    EXPECT_EQ(diff.standardError, "telvorctl: File open error! " + m_directory.string() + ": Is a directory\n");
}

TEST(TelvorctlInformation, HelpListsTheCommands)
{
    const ProgramRun run = telvorctl({"--help"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_TRUE(run.standardOutput.starts_with(
        "Usage:\n  telvorctl [CONNECTION] [--trace] version [--history FILE] [--no-history] [--json]\n"
        "  telvorctl [CONNECTION] [--trace] read [--base FILE.tvr] [--history FILE] [--no-history] OUT.tvr\n"
        "  telvorctl [CONNECTION] [--trace] write [--set-clock] [--reset-device] [--reset-counters] [--erase-log] "
        "[--history FILE] [--no-history] [--no-backup] FILE.tvr\n"
        "  telvorctl [CONNECTION] [--trace] check [--history FILE] [--no-history] FILE.tvr\n"
        "  telvorctl [CONNECTION] [--trace] restore [--set-clock] [--reset-device] [--reset-counters] [--erase-log] "
        "[--history FILE] [--no-backup] [--image KIND] ID\n"
        "  telvorctl show FILE.tvr\n  telvorctl diff A.tvr B.tvr\n  telvorctl export [-o OUT] FILE\n"
        "  telvorctl import [--base FILE.tvr] [-o OUT] DOC.yaml...\n  telvorctl set [-o OUT] FILE PATH=VALUE...\n"
        "  telvorctl ports [--probe] [--json]\n"
        "  telvorctl fleet [--set-clock] [--reset-device] [--reset-counters] [--erase-log] [--history FILE] "
        "[--no-backup] [--jobs N] [--retries K] [--receipts FILE] [--dry-run] [--resume] PLAN.csv\n"
        "  telvorctl history [--history FILE] [--target T] [--limit N] [--json]\n"
        "  telvorctl history show [--history FILE] ID\n"
        "  telvorctl history export [--history FILE] [--image KIND] ID OUT.tvr\n"
        "  telvorctl history prune [--history FILE] [--older-than DAYS]\n"
        "  telvorctl --help | --version\n"))
        << run.standardOutput;
    EXPECT_EQ(run.standardError, "");
}

struct HelpRow {
    const char* name;
    std::vector<std::string> arguments;
    std::string usage;
    std::vector<std::string> options;
};

class TelvorctlHelp : public testing::TestWithParam<HelpRow> {};

// The program's help lists every command and option; a command's help its
// usage line and the options it takes.
TEST_P(TelvorctlHelp, ListsTheCommandsAndTheirOptions)
{
    const HelpRow& row = GetParam();
    const ProgramRun run = telvorctl(row.arguments);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardError, "");
    const std::string& help = run.standardOutput;
    EXPECT_NE(help.find(row.usage), std::string::npos) << help;
    for (const std::string& option : row.options)
        EXPECT_NE(help.find("\n  " + option + " "), std::string::npos) << option << " in\n" << help;
    if (row.arguments.front() != "--help")
        return;
    // A command of its own in the list of commands, one below another in its usage line.
    for (const Command& command : commands()) {
        const std::string shown = command.parent.empty() ? "\n  " + std::string(command.name) + " "
                                                         : "\n  telvorctl " + commandPath(command) + " ";
        EXPECT_NE(help.find(shown), std::string::npos) << commandPath(command);
    }
    for (const CommandOption& option : commandOptions()) {
        const std::string shortName = option.shortName ? std::string{'-', option.shortName, ','} : "";
        EXPECT_NE(help.find("\n  " + shortName + "--" + std::string(option.name) + " "), std::string::npos)
            << option.name;
    }
}

// The connection options as the help shows them, and `others` after them.
std::vector<std::string> withConnectionOptions(std::vector<std::string> others)
{
    others.insert(others.begin(), {"--tcp ADDRESS[:PORT]", "--com N", "--trace", "--strict-serial", "--quiet"});
    return others;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TelvorctlHelp,
    testing::Values(
        HelpRow{"Program", {"--help"}, "\n  telvorctl --help | --version\n", {"-h,--help", "--version"}},
        HelpRow{"Version",
                {"version", "--help"},
                "Usage: telvorctl [CONNECTION] [--trace] version [--history FILE] [--no-history] [--json]\n",
                withConnectionOptions({"--history FILE", "--no-history", "--json"})},
        HelpRow{
            "Read",
            {"read", "-h"},
            "Usage: telvorctl [CONNECTION] [--trace] read [--base FILE.tvr] [--history FILE] [--no-history] OUT.tvr\n",
            withConnectionOptions({"--base FILE.tvr", "--history FILE", "--no-history"})},
        HelpRow{"Write",
                {"write", "--help"},
                "Usage: telvorctl [CONNECTION] [--trace] write [--set-clock] [--reset-device] "
                "[--reset-counters] [--erase-log] [--history FILE] [--no-history] [--no-backup] FILE.tvr\n",
                withConnectionOptions({"--set-clock", "--reset-device", "--reset-counters", "--erase-log",
                                       "--history FILE", "--no-history", "--no-backup"})},
        HelpRow{"Show", {"show", "--help"}, "Usage: telvorctl show FILE.tvr\n", {"FILE.tvr", "-h,--help"}},
        HelpRow{"Diff", {"diff", "--help"}, "Usage: telvorctl diff A.tvr B.tvr\n", {"A.tvr", "B.tvr", "-h,--help"}},
        HelpRow{"Ports", {"ports", "--help"}, "Usage: telvorctl ports [--probe] [--json]\n", {"--probe", "--json"}},
        HelpRow{"Check",
                {"check", "--help"},
                "Usage: telvorctl [CONNECTION] [--trace] check [--history FILE] [--no-history] FILE.tvr\n",
                withConnectionOptions({"--history FILE", "--no-history", "FILE.tvr"})},
        HelpRow{"Restore",
                {"restore", "-h"},
                "Usage: telvorctl [CONNECTION] [--trace] restore [--set-clock] [--reset-device] [--reset-counters] "
                "[--erase-log] [--history FILE] [--no-backup] [--image KIND] ID\n",
                withConnectionOptions({"--history FILE", "--no-backup", "--image KIND", "ID"})},
        HelpRow{"History",
                {"history", "--help"},
                "Usage: telvorctl history [--history FILE] [--target T] [--limit N] [--json]\n",
                {"--history FILE", "--target T", "--limit N", "--json", "show", "export", "prune"}},
        HelpRow{"HistoryShow",
                {"history", "show", "--help"},
                "Usage: telvorctl history show [--history FILE] ID\n",
                {"--history FILE", "ID"}},
        HelpRow{"HistoryExport",
                {"--history", "h.sqlite3", "history", "export", "-h"},
                "Usage: telvorctl history export [--history FILE] [--image KIND] ID OUT.tvr\n",
                {"--history FILE", "--image KIND", "ID", "OUT.tvr"}},
        HelpRow{"HistoryPrune",
                {"history", "prune", "--help"},
                "Usage: telvorctl history prune [--history FILE] [--older-than DAYS]\n",
                {"--history FILE", "--older-than DAYS"}},
        HelpRow{"Export", {"export", "--help"}, "Usage: telvorctl export [-o OUT] FILE\n", {"FILE", "-o,--output OUT"}},
        HelpRow{"Import",
                {"import", "--help"},
                "Usage: telvorctl import [--base FILE.tvr] [-o OUT] DOC.yaml...\n",
                {"--base FILE.tvr", "-o,--output OUT"}},
        HelpRow{"Set", {"set", "--help"}, "Usage: telvorctl set [-o OUT] FILE PATH=VALUE...\n", {"-o,--output OUT"}}),
    test_support::RowName());

TEST(TelvorctlInformation, VersionIsTheProjectsVersion)
{
    const ProgramRun run = telvorctl({"--version"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardOutput, "telvorctl " TELVOR_VERSION "\n");
    EXPECT_EQ(run.standardError, "");
}

} // namespace
} // namespace telvor
