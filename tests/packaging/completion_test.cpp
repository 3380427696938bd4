// The bash completion of telvorctl, loaded into a bash without any start-up
// file and with a home of its own, completing in a folder of the test's own
// with the serial ports of the test's own /dev tree.
#include "support/fake_system_tree.h"
#include "support/program_run.h"
#include "support/row_name.h"

#include "link/system_paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace telvor {
namespace {

namespace fs = std::filesystem;
using test_support::FakeSystemTree;

const std::string kScript = TELVOR_SOURCE_DIR "/packaging/bash-completion/telvorctl";

// The words of the command line, the last one being completed; telvorctl is
// the one of the build folder.
std::vector<std::string> completions(const fs::path& folder, const std::vector<std::string>& words)
{
    std::string line = "cd '" + folder.string() + "' && source '" + kScript + "' && COMP_WORDS=('"
        + std::getenv("TELVOR_BUILD_DIR") + "/telvorctl'";
    for (const std::string& word : words)
        line += " '" + word + "'";
    line += ") && COMP_CWORD=" + std::to_string(words.size())
        + " && { _telvorctl; printf '%s\\n' \"${COMPREPLY[@]}\"; }";
    const ProgramRun run = runProgram("bash", {"--norc", "--noprofile", "-c", line});
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(run.standardError, "");
    std::vector<std::string> lines;
    std::istringstream output(run.standardOutput);
    for (std::string completion; std::getline(output, completion);)
        if (!completion.empty())
            lines.push_back(completion);
    std::sort(lines.begin(), lines.end());
    return lines;
}

struct CompletionRow {
    const char* name;
    std::vector<std::string> words;
    std::vector<std::string> completions; // sorted
};

// A folder with settings files, other files and a sub-folder; a machine
// whose adapters are ports 1 and 2 under the saved format, beside an
// on-board port that has no number under it.
class TelvorctlCompletion : public testing::TestWithParam<CompletionRow> {
protected:
    void SetUp() override
    {
        const fs::path work = m_tree.root() / "work";
        fs::create_directories(work / "sites");
        for (const char* file : {"site.tvr", "backup.tvr", "site.yaml", "layer.yml", "notes.txt", "pumps.csv"})
            std::ofstream(work / file) << "";
        m_tree.addNode("ttyUSB0");
        m_tree.addNode("ttyUSB1");
        m_tree.addLinkById("usb-FTDI_FT232R_USB_UART_A10K-if00-port0", "ttyUSB0");
        m_tree.addOnBoardPort("ttyS0", "00:01", "4");
        m_tree.addNode("ttyS0");
        fs::create_directories(m_tree.root() / "home/.config/Kardel");
        std::ofstream(m_tree.root() / "home/.config/Kardel/Telvor.conf")
            << "[General]\nSerial_Device_Format=" << m_tree.dev("ttyUSB%d") << "\n";
        const char* home = std::getenv("HOME");
        m_previousHome = home ? home : "";
        ::setenv("HOME", (m_tree.root() / "home").c_str(), 1);
        ::unsetenv("XDG_CONFIG_HOME");
        ::setenv(kSystemRootVariable, m_tree.root().c_str(), 1);
    }
    void TearDown() override
    {
        ::unsetenv(kSystemRootVariable);
        ::setenv("HOME", m_previousHome.c_str(), 1);
    }

    FakeSystemTree m_tree;
    std::string m_previousHome;
};

TEST_P(TelvorctlCompletion, OffersWhatTheWordCanBe)
{
    EXPECT_EQ(completions(m_tree.root() / "work", GetParam().words), GetParam().completions);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TelvorctlCompletion,
    testing::Values(CompletionRow{"Commands",
                                  {""},
                                  {"check", "diff", "export", "fleet", "history", "import", "ports", "read", "restore",
                                   "set", "show", "version", "write"}},
                    CompletionRow{"CommandPrefix", {"ve"}, {"version"}},
                    CompletionRow{"CommandAfterOptions", {"--com", "1", "--trace", "w"}, {"write"}},
                    CompletionRow{"ProgramOptions", {"--s"}, {"--set-clock", "--strict-serial"}},
                    CompletionRow{"OptionsOfTheCommand",
                                  {"read", "--"},
                                  {"--base", "--com", "--help", "--history", "--no-history", "--quiet",
                                   "--strict-serial", "--tcp", "--trace"}},
                    CompletionRow{"OptionsOfPorts", {"ports", "--"}, {"--help", "--json", "--probe"}},
                    CompletionRow{"SettingsFilesAndFolders",
                                  {"write", "--set-clock", ""},
                                  {"backup.tvr", "layer.yml", "site.tvr", "site.yaml", "sites"}},
                    CompletionRow{"SettingsFilePrefix", {"show", "si"}, {"site.tvr", "site.yaml", "sites"}},
                    CompletionRow{"DocumentsOnly", {"import", ""}, {"layer.yml", "site.yaml", "sites"}},
                    CompletionRow{"AnyFileForTheOutput", {"import", "-o", "n"}, {"notes.txt"}},
                    CompletionRow{"DocumentAfterTheOutput", {"import", "-o", "out.tvr", "l"}, {"layer.yml"}},
                    CompletionRow{"ShortNameOfTheOutput", {"import", "-"}, {"--base", "--help", "--output", "-o"}},
                    CompletionRow{"ValueOfBase",
                                  {"read", "--base", ""},
                                  {"backup.tvr", "layer.yml", "site.tvr", "site.yaml", "sites"}},
                    CompletionRow{"OperandAfterTheBase", {"read", "--base", "site.tvr", "b"}, {"backup.tvr"}},
                    CompletionRow{"SecondOperand", {"diff", "site.tvr", "b"}, {"backup.tvr"}},
                    CompletionRow{"NoOperandBeyondTheLast", {"diff", "site.tvr", "backup.tvr", ""}, {}},
                    CompletionRow{"NoOperandOfVersion", {"version", ""}, {}},
                    CompletionRow{"PortNumbersOfTheMachine", {"--com", ""}, {"1", "2"}},
                    CompletionRow{"PortNumberAfterTheCommand", {"version", "--com", "2"}, {"2"}},
                    CompletionRow{"NothingForAnAddress", {"--tcp", ""}, {}},
                    CompletionRow{"PlansOfAFleet", {"fleet", "--jobs", "20", ""}, {"pumps.csv", "sites"}},
                    CompletionRow{"AnyFileForTheReceipts", {"fleet", "--receipts", "p"}, {"pumps.csv"}},
                    CompletionRow{"NothingForTheJobs", {"fleet", "--jobs", ""}, {}}),
    test_support::RowName());

TEST(TelvorctlCompletionScript, RegistersItselfForTelvorctl)
{
    const ProgramRun run
        = runProgram("bash", {"--norc", "--noprofile", "-c", "source '" + kScript + "' && complete -p telvorctl"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardOutput, "complete -F _telvorctl telvorctl\n");
}

} // namespace
} // namespace telvor
