// The manual pages as man shows them: rendered by groff without a single
// warning, and documenting every command and option that the programs' own
// help lists.
#include "support/program_run.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>

namespace telvor {
namespace {

std::string pagePath(const std::string& program)
{
    return std::string(std::getenv("TELVOR_BUILD_DIR")) + "/man/" + program + ".1";
}

// The page as plain text, one line per line however long, and no word
// broken by hyphenation: an option stays one word.
std::string renderedText(const std::string& program)
{
    const ProgramRun run
        = runProgram("groff", {"-man", "-Tascii", "-P-cbou", "-rHY=0", "-rLL=300n", pagePath(program)});
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    return run.standardOutput;
}

// The terms of the page's lists: a line at the paragraphs' indent whose
// next line is indented further, as the entry's description is.
std::vector<std::string> entryLines(const std::string& text)
{
    const auto indent = [](const std::string& line) { return line.find_first_not_of(' '); };
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    std::vector<std::string> entries;
    for (std::size_t index = 0; index + 1 < lines.size(); ++index)
        if (indent(lines[index]) == 7 && indent(lines[index + 1]) == 11)
            entries.push_back(lines[index].substr(7));
    return entries;
}

// Every long option the help names, and the commands it lists under
// "Commands:".
std::set<std::string> helpOptions(const std::string& help)
{
    std::set<std::string> options;
    const std::regex option("--[a-z][a-z-]*");
    for (auto match = std::sregex_iterator(help.begin(), help.end(), option); match != std::sregex_iterator(); ++match)
        options.insert(match->str());
    return options;
}

std::set<std::string> helpCommands(const std::string& help)
{
    std::set<std::string> commands;
    std::istringstream lines(help.substr(help.find("\nCommands:\n") + 1));
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line) && line.starts_with("  "))
        commands.insert(line.substr(2, line.find(' ', 2) - 2));
    return commands;
}

bool isWordIn(const std::string& word, const std::string& line)
{
    const auto isWordCharacter = [](char character) {
        return std::isalnum(static_cast<unsigned char>(character)) || character == '-' || character == '_';
    };
    for (std::size_t at = line.find(word); at != std::string::npos; at = line.find(word, at + 1)) {
        const std::size_t end = at + word.size();
        if ((at == 0 || !isWordCharacter(line[at - 1])) && (end == line.size() || !isWordCharacter(line[end])))
            return true;
    }
    return false;
}

struct PageRow {
    const char* name;
    std::string program;
};

class ManualPage : public testing::TestWithParam<PageRow> {};

TEST_P(ManualPage, RendersWithoutWarnings)
{
    const std::string& program = GetParam().program;
    const ProgramRun run = runProgram("groff", {"-ww", "-man", "-Tutf8", pagePath(program)});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardError, "");
    EXPECT_TRUE(run.standardOutput.starts_with(program + "(1)")) << run.standardOutput.substr(0, 200);
    EXPECT_NE(run.standardOutput.find("telvor " TELVOR_VERSION), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Rows, ManualPage,
                         testing::Values(PageRow{"Telvorctl", "telvorctl"}, PageRow{"TelvorSim", "telvor-sim"},
                                         PageRow{"TelvorConfig", "telvor-config"}),
                         test_support::RowName());

// The programs with a --help; the window has none.
class ManualPageOfHelp : public testing::TestWithParam<PageRow> {};

// A command has an entry of its own beginning with its name; an option
// stands in the term of an entry.
TEST_P(ManualPageOfHelp, DocumentsEveryCommandAndOptionOfTheHelp)
{
    const PageRow& row = GetParam();
    const ProgramRun help = runBuiltProgram(row.program, {"--help"});
    ASSERT_EQ(help.exitStatus, 0);
    const std::vector<std::string> entries = entryLines(renderedText(row.program));
    ASSERT_FALSE(entries.empty());
    const std::set<std::string> options = helpOptions(help.standardOutput);
    EXPECT_GE(options.size(), 10u);
    for (const std::string& option : options) {
        const bool documented = std::any_of(entries.begin(), entries.end(), [&](const std::string& entry) {
            return entry.starts_with("-") && isWordIn(option, entry);
        });
        EXPECT_TRUE(documented) << option << " has no entry in " << row.program << "(1)";
    }
    if (help.standardOutput.find("\nCommands:\n") == std::string::npos)
        return;
    const std::set<std::string> commands = helpCommands(help.standardOutput);
    EXPECT_FALSE(commands.empty());
    for (const std::string& command : commands) {
        const bool documented = std::any_of(entries.begin(), entries.end(), [&](const std::string& entry) {
            return entry == command || entry.starts_with(command + " ");
        });
        EXPECT_TRUE(documented) << "the command " << command << " has no entry in " << row.program << "(1)";
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, ManualPageOfHelp,
                         testing::Values(PageRow{"Telvorctl", "telvorctl"}, PageRow{"TelvorSim", "telvor-sim"}),
                         test_support::RowName());

} // namespace
} // namespace telvor
