#include "command_line.h"

#include "console.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <memory>

namespace telvor {
namespace {

constexpr std::string_view kProgram = "telvorctl";

bool accepts(const Command& command, const CommandOption& option)
{
    return (command.options & option.group) != 0;
}

std::string longName(const CommandOption& option)
{
    return "--" + std::string(option.name);
}

// The option as its usage shows it: by its short name where it has one.
std::string shownName(const CommandOption& option)
{
    return option.shortName ? std::string{'-', option.shortName} : longName(option);
}

// The names CLI11 knows it by.
std::string declaredNames(const CommandOption& option)
{
    return option.shortName ? std::string{'-', option.shortName, ','} + longName(option) : longName(option);
}

struct Operand {
    std::string name;
    bool repeated = false; // one or more
};

std::vector<Operand> operands(const Command& command)
{
    std::vector<Operand> list;
    std::string_view rest = command.operands;
    while (!rest.empty()) {
        const std::size_t space = rest.find(' ');
        std::string_view name = rest.substr(0, space);
        rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
        const bool repeated = name.ends_with("...");
        if (repeated)
            name.remove_suffix(3);
        list.push_back({std::string(name), repeated});
    }
    return list;
}

// The connection options stand before the command word as CONNECTION, which
// the program's help explains; the command's other options follow it.
std::string usageLine(const Command& command)
{
    std::string line(kProgram);
    if (command.options & kConnectionOptions)
        line += " [CONNECTION] [--trace]";
    line += " " + commandPath(command);
    for (const CommandOption& option : commandOptions()) {
        if (option.group == kConnectionOptions || !accepts(command, option))
            continue;
        line += " [" + shownName(option);
        if (!option.valueName.empty())
            line += " " + std::string(option.valueName);
        line += "]";
    }
    if (!command.operands.empty())
        line += " " + std::string(command.operands);
    return line;
}

// Whether `app`, a command's parser, is the one declared for `command`.
bool isCommandOf(const CLI::App& app, const Command& command)
{
    const CLI::App* parent = app.get_parent();
    const bool topLevel = parent == nullptr || parent->get_parent() == nullptr;
    return app.get_name() == command.name && (topLevel ? command.parent.empty() : parent->get_name() == command.parent);
}

// CLI11's help with telvorctl's usage lines: every command's in the
// program's help, its own in a command's help.
class UsageFormatter : public CLI::Formatter {
public:
    explicit UsageFormatter(std::span<const Command> table)
        : m_table(table)
    {
    }

    std::string make_usage(const CLI::App* app, std::string) const override
    {
        if (app->get_parent()) {
            for (const Command& command : m_table)
                if (isCommandOf(*app, command))
                    return "Usage: " + usageLine(command) + "\n";
        }
        std::string usage = "Usage:\n";
        for (const Command& command : m_table)
            usage += "  " + usageLine(command) + "\n";
        return usage + "  " + std::string(kProgram) + " --help | --version\n";
    }

private:
    std::span<const Command> m_table;
};

// The help's heading over the options of `group`: the commands that take them.
std::string optionGroupTitle(std::span<const Command> table, unsigned group)
{
    std::vector<std::string> names;
    for (const Command& command : table)
        if (command.options & group)
            names.push_back(commandPath(command));
    if (names.empty())
        return ""; // hidden: no command takes them
    std::string title = "Options of " + names.front();
    for (std::size_t index = 1; index < names.size(); ++index)
        title += (index + 1 == names.size() ? " and " : ", ") + names[index];
    return title;
}

std::string footer(std::span<const Command> table)
{
    std::string text;
    if (std::any_of(table.begin(), table.end(),
                    [](const Command& command) { return command.options & kConnectionOptions; }))
        text += "CONNECTION is --tcp ADDRESS[:PORT] or --com N; without one, the connection\n"
                "settings saved by the window apply.\n";
    text += "Options may come before or after the command word; telvorctl COMMAND --help\n"
            "describes one command.\n\n"
            "Exit status: 0 success, 1 failure or differences, 2 wrong usage or file error.";
    if (std::any_of(table.begin(), table.end(), [](const Command& command) { return command.name == "check"; }))
        text += "\ncheck: 3 when the device cannot be read.";
    if (std::any_of(table.begin(), table.end(), [](const Command& command) { return command.name == "fleet"; }))
        text += "\nfleet: 1 when a device was not written, 130 after Ctrl-C.";
    return text;
}

CLI::Option* addOption(CLI::App& app, const CommandOption& option)
{
    const std::string description(option.description);
    if (option.valueName.empty())
        return app.add_flag(declaredNames(option))->description(description)->disable_flag_override();
    // An option given twice keeps both values, for the option's rule to judge.
    return app.add_option(declaredNames(option))
        ->description(description)
        ->type_name(std::string(option.valueName))
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

void addOperands(CLI::App& app, const Command& command)
{
    for (const Operand& operand : operands(command)) {
        CLI::Option* added = app.add_option(operand.name)->type_name("");
        if (operand.repeated)
            added->expected(1, CLI::detail::expected_max_vector_size)->allow_extra_args();
    }
}

// What the options in `given` were given, one "" for each time a switch was.
std::vector<std::string> givenValues(const CommandOption& option, const CLI::Option* given)
{
    if (!given)
        return {};
    if (option.valueName.empty())
        return std::vector<std::string>(given->count());
    return given->results();
}

ParsedCommandLine handled(int exitStatus)
{
    ParsedCommandLine parsed;
    parsed.exitStatus = exitStatus;
    return parsed;
}

ParsedCommandLine usageError(const std::string& message)
{
    printError(message + "; see " + std::string(kProgram) + " --help");
    return handled(kExitUsage);
}

void printText(std::string text)
{
    while (text.ends_with('\n'))
        text.pop_back();
    printLine(text);
}

bool isOption(const std::string& argument)
{
    return argument.size() > 1 && argument.front() == '-' && argument != "--";
}

// Every option is the program's, so that it may come before the command
// word; after it, a command's own options are the command's and the others
// fall through to the program, to be refused by name.
void declareProgram(CLI::App& program, std::span<const Command> table, std::size_t& wordsBeforeCommand)
{
    program.formatter(std::make_shared<UsageFormatter>(table));
    program.fallthrough();
    // Stray words and unknown options are named by our own messages.
    program.allow_extras();
    program.require_subcommand(0, 1);
    program.set_version_flag("--version", std::string(kProgram) + " " + TELVOR_VERSION);
    for (const CommandOption& option : commandOptions())
        addOption(program, option)->group(optionGroupTitle(table, option.group));

    for (const Command& command : table) {
        CLI::App* parent = command.parent.empty() ? &program : program.get_subcommand(std::string(command.parent));
        // At most one command word after a command's own.
        parent->require_subcommand(0, 1);
        CLI::App* app = parent->add_subcommand(std::string(command.name), std::string(command.summary));
        app->group("Commands");
        if (parent == &program)
            app->preparse_callback(
                [&program, &wordsBeforeCommand](std::size_t) { wordsBeforeCommand = program.remaining().size(); });
        for (const CommandOption& option : commandOptions())
            if (accepts(command, option))
                addOption(*app, option);
        addOperands(*app, command);
    }
    program.footer(footer(table));
}

// What `option` was given on the parsers of `chain`: the program's, the
// chosen command's and those of the commands between them.
std::vector<std::string> givenValues(const CommandOption& option, const std::vector<const CLI::App*>& chain)
{
    std::vector<std::string> values;
    for (const CLI::App* app : chain) {
        const std::vector<std::string> given = givenValues(option, app->get_option_no_throw(longName(option)));
        values.insert(values.end(), given.begin(), given.end());
    }
    return values;
}

// Checks and takes what the options of the parsers in `chain`, from the
// program's to the chosen command's, were given; `wordsLeftOver` tells of
// words after the command word that its operands did not take.
ParsedCommandLine invocationOf(const Command& command, const std::vector<const CLI::App*>& chain, bool wordsLeftOver)
{
    const CLI::App& app = *chain.back();
    const std::span<const CommandOption> options = commandOptions();
    const std::string commandName = commandPath(command);
    for (const CommandOption& option : options)
        if (!accepts(command, option) && !givenValues(option, chain).empty())
            return usageError(shownName(option) + " does not apply to " + commandName);

    ParsedCommandLine parsed;
    parsed.command = &command;
    Invocation& invocation = parsed.invocation;
    invocation.command = commandName;
    bool operandsComplete = !wordsLeftOver;
    for (const Operand& operand : operands(command)) {
        const std::vector<std::string>& given = app.get_option(operand.name)->results();
        operandsComplete = operandsComplete && !given.empty();
        invocation.operands.insert(invocation.operands.end(), given.begin(), given.end());
    }
    if (!operandsComplete)
        return usageError("usage: " + usageLine(command));

    for (const CommandOption& option : options) {
        if (!accepts(command, option))
            continue;
        for (const std::string& value : givenValues(option, chain))
            if (const OptionRefusal refusal = option.take(value, invocation))
                return usageError(*refusal);
    }
    return parsed;
}

} // namespace

ParsedCommandLine parseCommandLine(std::vector<std::string> arguments, std::span<const Command> table)
{
    CLI::App program("", std::string(kProgram));
    std::size_t wordsBeforeCommand = 0;
    declareProgram(program, table, wordsBeforeCommand);

    std::reverse(arguments.begin(), arguments.end());
    try {
        program.parse(arguments);
    } catch (const CLI::CallForHelp&) {
        printText(program.help());
        return handled(kExitSuccess);
    } catch (const CLI::CallForVersion& version) {
        printText(version.what());
        return handled(kExitSuccess);
    } catch (const CLI::ParseError& error) {
        return usageError(error.what());
    }

    // Everything the program did not understand, in order: unknown options,
    // words before the command word, and words after it that fell through.
    const std::vector<std::string> extras = program.remaining();
    const auto unknownOption = std::find_if(extras.begin(), extras.end(), isOption);
    if (unknownOption != extras.end())
        return usageError("unknown option \"" + *unknownOption + "\"");
    const std::vector<CLI::App*> chosen = program.get_subcommands();
    if (chosen.empty() && extras.empty())
        return usageError("no command given");
    if (chosen.empty() || wordsBeforeCommand > 0)
        return usageError("unknown command \"" + extras.front() + "\"");
    std::vector<const CLI::App*> chain{&program};
    for (const CLI::App* app = chosen.front(); app;
         app = app->get_subcommands().empty() ? nullptr : app->get_subcommands().front())
        chain.push_back(app);
    const Command& command = *std::find_if(table.begin(), table.end(), [&chain](const Command& candidate) {
        return isCommandOf(*chain.back(), candidate);
    });
    return invocationOf(command, chain, !extras.empty());
}

} // namespace telvor
