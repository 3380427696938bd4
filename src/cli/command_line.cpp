#include "command_line.h"

#include "connection_option.h"
#include "console.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <array>

namespace telvor {
namespace {

struct OptionSpec {
    const char* name;
    const char* valueName; // empty for a switch
    const char* description;
    unsigned group;        // the CommandOptions group it belongs to
};

constexpr std::array kOptions = {
    OptionSpec{"tcp", "ADDRESS[:PORT]", "TCP to the device's IPv4 ADDRESS, PORT 23 unless given", kConnectionOptions},
    OptionSpec{"com", "N", "serial port number N (0 to 255)", kConnectionOptions},
    OptionSpec{"trace", "", "print every line sent and received on standard error", kConnectionOptions},
    OptionSpec{"strict-serial", "", "end each serial reply only at a 500 ms pause, never at its content",
               kConnectionOptions},
    OptionSpec{"base", "FILE.tvr", "start the read from this file instead of all zero", kBaseOption},
    OptionSpec{"set-clock", "", "Set RTC clock in device", kServiceOptions},
    OptionSpec{"reset-device", "", "RESET device after update", kServiceOptions},
    OptionSpec{"reset-counters", "", "Reset counters", kServiceOptions},
    OptionSpec{"erase-log", "", "Erase log memory", kServiceOptions},
};

QCommandLineOption commandLineOption(const OptionSpec& spec)
{
    if (*spec.valueName == '\0')
        return QCommandLineOption(spec.name, spec.description);
    return QCommandLineOption(spec.name, spec.description, spec.valueName);
}

QString usageLine(const Command& command)
{
    QString line = "telvorctl ";
    if (command.options & kConnectionOptions)
        line += "[CONNECTION] [--trace] ";
    return line + QString::fromUtf8(command.usage.data(), static_cast<qsizetype>(command.usage.size()));
}

std::string helpText(std::span<const Command> table)
{
    unsigned offered = kNoOptions;
    QString text = "Usage:\n";
    for (const Command& command : table) {
        text += "  " + usageLine(command) + "\n";
        offered |= command.options;
    }
    text += "  telvorctl --help | --version\n";
    if (offered & kConnectionOptions)
        text += "\nCONNECTION is --tcp ADDRESS[:PORT] or --com N; without one, the connection\n"
                "settings saved by the window apply.\n";
    if (offered != kNoOptions) {
        text += "\nOptions:\n";
        for (const OptionSpec& spec : kOptions) {
            if (!(offered & spec.group))
                continue;
            QString name = QString("--") + spec.name;
            if (*spec.valueName != '\0')
                name += QString(" ") + spec.valueName;
            text += "  " + name.leftJustified(26) + " " + spec.description + "\n";
        }
    }
    text += "\nExit status: 0 success, 1 failure or differences, 2 wrong usage or file error.";
    return text.toStdString();
}

ParsedCommandLine handled(int exitStatus)
{
    ParsedCommandLine parsed;
    parsed.exitStatus = exitStatus;
    return parsed;
}

ParsedCommandLine usageError(std::string message)
{
    if (message.ends_with('.'))
        message.pop_back();
    printError(message + "; see telvorctl --help");
    return handled(kExitUsage);
}

const Command* findCommand(std::span<const Command> table, const QString& name)
{
    const auto found = std::find_if(table.begin(), table.end(), [&name](const Command& command) {
        return name == QString::fromUtf8(command.name.data(), static_cast<qsizetype>(command.name.size()));
    });
    return found == table.end() ? nullptr : &*found;
}

std::string fileName(const QString& argument)
{
    return QFile::encodeName(argument).toStdString();
}

} // namespace

ParsedCommandLine parseCommandLine(const QStringList& arguments, std::span<const Command> table)
{
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{"h", "help"}, "show this help");
    const QCommandLineOption version("version", "show the program's version");
    parser.addOption(help);
    parser.addOption(version);
    for (const OptionSpec& spec : kOptions)
        parser.addOption(commandLineOption(spec));

    if (!parser.parse(arguments))
        return usageError(parser.errorText().toStdString());
    if (parser.isSet(help)) {
        printLine(helpText(table));
        return handled(kExitSuccess);
    }
    if (parser.isSet(version)) {
        printLine("telvorctl " + QCoreApplication::applicationVersion().toStdString());
        return handled(kExitSuccess);
    }

    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return usageError("no command given");
    const QString commandWord = positional.takeFirst();
    const Command* command = findCommand(table, commandWord);
    if (!command)
        return usageError("unknown command \"" + commandWord.toStdString() + "\"");
    const std::string commandName(command->name);

    for (const OptionSpec& spec : kOptions)
        if (!(command->options & spec.group) && parser.isSet(spec.name))
            return usageError(std::string("--") + spec.name + " does not apply to " + commandName);
    if (positional.size() != command->operandCount)
        return usageError("usage: " + usageLine(*command).toStdString());

    ParsedCommandLine parsed;
    parsed.command = command;
    Invocation& invocation = parsed.invocation;
    invocation.command = commandName;
    for (const QString& operand : positional)
        invocation.operands.push_back(fileName(operand));

    const QStringList tcp = parser.values("tcp");
    const QStringList com = parser.values("com");
    if (tcp.size() + com.size() > 1)
        return usageError("give at most one connection, --tcp or --com");
    if (!tcp.isEmpty()) {
        const std::optional<ConnectionChoice> choice = tcpChoice(tcp.first().toStdString());
        if (!choice)
            return usageError("--tcp needs a dotted-decimal IPv4 address and an optional port from 1 to 65535, not \""
                              + tcp.first().toStdString() + "\"");
        invocation.connection = *choice;
    }
    if (!com.isEmpty()) {
        const std::optional<ConnectionChoice> choice = serialChoice(com.first().toStdString());
        if (!choice)
            return usageError("--com needs a port number from 0 to 255, not \"" + com.first().toStdString() + "\"");
        invocation.connection = *choice;
    }
    invocation.trace = parser.isSet("trace");
    invocation.strictSerial = parser.isSet("strict-serial");
    if (parser.isSet("base"))
        invocation.baseFile = fileName(parser.value("base"));
    invocation.service = {parser.isSet("set-clock"), parser.isSet("reset-device"), parser.isSet("reset-counters"),
                          parser.isSet("erase-log")};
    return parsed;
}

} // namespace telvor
