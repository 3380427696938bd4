#include "support/closed_loopback_port.h"
#include "support/loopback_sim.h"
#include "support/program_run.h"
#include "support/row_name.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include <unistd.h>

namespace telvor {
namespace {

namespace fs = std::filesystem;

constexpr int kColumns = 60;

// The drawn lines of a progress output: the texts between carriage returns,
// blanks at their ends taken off, blank ones left out.
std::vector<std::string> drawnLines(const std::string& output)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= output.size()) {
        const std::size_t end = std::min(output.find('\r', start), output.size());
        std::string line = output.substr(start, end - start);
        line.erase(line.find_last_not_of(' ') + 1);
        if (!line.empty())
            lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool holdsControlBytesOtherThanNewline(const std::string& text)
{
    return std::any_of(text.begin(), text.end(), [](unsigned char byte) { return byte < 0x20 && byte != '\n'; });
}

struct TerminalRow {
    const char* name;
    std::function<std::vector<std::string>(const std::string& address, const std::string& settingsFile)> arguments;
    std::string output;
    // The steps shown, in order; none for a run that draws no progress.
    std::vector<std::string> steps;
};

// Every run has its own folder for the connection settings and the files.
class TelvorctlProgress : public testing::TestWithParam<TerminalRow> {
protected:
    void SetUp() override
    {
        std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '-');
        m_directory = fs::temp_directory_path() / ("telvorctl-progress-" + std::to_string(::getpid()) + "-" + name);
        fs::remove_all(m_directory);
        fs::create_directories(m_directory / "config");
        ::setenv("XDG_CONFIG_HOME", (m_directory / "config").c_str(), 1);
        fs::copy_file(fs::path(std::getenv("TELVOR_BUILD_DIR")) / "default_en.tvr", m_directory / "default.tvr");
    }
    void TearDown() override
    {
        ::unsetenv("XDG_CONFIG_HOME");
        fs::remove_all(m_directory);
    }

    fs::path m_directory;
};

// On a terminal the bar reaches 100 % through the operation's steps in its
// own line on standard error, which is blank again before the program ends;
// standard output stays exactly as without a terminal.
TEST_P(TelvorctlProgress, OnATerminalTheLineIsDrawnAndErased)
{
    const TerminalRow& row = GetParam();
    LoopbackSim device({"--version-text", "v3.6E"});
    const std::vector<std::string> arguments = row.arguments(device.address(), (m_directory / "default.tvr").string());
    const ProgramRun run = runBuiltProgramOnTerminal("telvorctl", arguments, kColumns);
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(run.standardOutput, row.output);
    if (row.steps.empty()) {
        EXPECT_EQ(run.standardError.find('\r'), std::string::npos) << run.standardError;
        return;
    }
    const std::vector<std::string> lines = drawnLines(run.standardError);
    ASSERT_FALSE(lines.empty());
    std::vector<std::string> steps;
    for (const std::string& line : lines) {
        EXPECT_LT(line.size(), static_cast<std::size_t>(kColumns)) << line;
        EXPECT_THAT(line, testing::MatchesRegex("\\[[#.]+\\] +[0-9]+ %  ([A-Z][a-z ]+  )?[0-9]+:[0-9][0-9]"));
        for (const std::string& step : row.steps)
            if (line.find("  " + step + "  ") != std::string::npos && (steps.empty() || steps.back() != step))
                steps.push_back(step);
    }
    EXPECT_EQ(steps, row.steps);
    EXPECT_THAT(lines.back(), testing::MatchesRegex("\\[#+\\] 100 %  .*"));
    // Erased: the last bytes blank the line and return to its start.
    const std::size_t lastReturn = run.standardError.find_last_of('\r', run.standardError.size() - 2);
    EXPECT_TRUE(run.standardError.ends_with("\r"));
    EXPECT_EQ(run.standardError.substr(lastReturn + 1, run.standardError.size() - lastReturn - 2),
              std::string(run.standardError.size() - lastReturn - 2, ' '));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TelvorctlProgress,
    testing::Values(TerminalRow{"Version",
                                [](const std::string& address, const std::string&) {
                                    return std::vector<std::string>{"--tcp", address, "version"};
                                },
                                "Device version: v3.6E\nFirmware version read successful\n",
                                {"Checking version"}},
                    TerminalRow{"Read",
                                [](const std::string& address, const std::string& file) {
                                    return std::vector<std::string>{
                                        "read", "--tcp", address, fs::path(file).replace_filename("read.tvr").string()};
                                },
                                "Settings read successfully\n",
                                {"Checking version", "Reading settings"}},
                    TerminalRow{"WriteWithServiceCommands",
                                [](const std::string& address, const std::string& file) {
                                    return std::vector<std::string>{"--tcp", address, "write", "--set-clock", file};
                                },
                                "Configuration transferred to device,\nverification successful.,RTC updated\n",
                                {"Checking version", "Writing settings", "Verifying", "Service commands"}},
                    TerminalRow{"QuietDrawsNothing",
                                [](const std::string& address, const std::string&) {
                                    return std::vector<std::string>{"--tcp", address, "version", "--quiet"};
                                },
                                "Device version: v3.6E\nFirmware version read successful\n",
                                {}},
                    TerminalRow{"TraceDrawsNoLineThroughItsOwn",
                                [](const std::string& address, const std::string&) {
                                    return std::vector<std::string>{"--tcp", address, "--trace", "version"};
                                },
                                "Device version: v3.6E\nFirmware version read successful\n",
                                {}}),
    test_support::RowName());

// A message of the operation starts on a line of its own: the progress line
// is blanked before it.
TEST(TelvorctlProgressMessages, MessageReplacesTheLine)
{
    const std::string port = std::to_string(test_support::closedLoopbackPort());
    const ProgramRun run = runBuiltProgramOnTerminal("telvorctl", {"--tcp", "127.0.0.1:" + port, "version"}, kColumns);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.standardOutput, "Device version: \nLAN connection (TCP/IP) cannot be established!\n");
    const std::string message = "telvorctl: LAN connection (TCP/IP) cannot be established!\n"
                                "telvorctl: note: Connection to 127.0.0.1 port "
        + port + " refused.\n";
    ASSERT_TRUE(run.standardError.ends_with("\r" + message)) << run.standardError;
    const std::string before = run.standardError.substr(0, run.standardError.size() - message.size() - 1);
    EXPECT_EQ(before.substr(before.find_last_of('\r') + 1),
              std::string(before.size() - before.find_last_of('\r') - 1, ' '));
    EXPECT_THAT(drawnLines(before), testing::Not(testing::IsEmpty()));
}

// Through a pipe nothing is drawn: no control byte in either stream.
TEST(TelvorctlProgressMessages, ThroughAPipeNothingIsDrawn)
{
    LoopbackSim device;
    const ProgramRun run = runBuiltProgram("telvorctl", {"--tcp", device.address(), "version"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardError, "");
    EXPECT_FALSE(holdsControlBytesOtherThanNewline(run.standardOutput)) << run.standardOutput;

    const std::string port = std::to_string(test_support::closedLoopbackPort());
    const ProgramRun failed = runBuiltProgram("telvorctl", {"--tcp", "127.0.0.1:" + port, "version"});
    EXPECT_EQ(failed.standardError,
              "telvorctl: LAN connection (TCP/IP) cannot be established!\n"
              "telvorctl: note: Connection to 127.0.0.1 port "
                  + port + " refused.\n");
}

} // namespace
} // namespace telvor
