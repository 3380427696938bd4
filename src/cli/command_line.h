// Reads telvorctl's arguments into an Invocation, or handles them itself:
// --help and --version, and every wrong usage with its message.
#pragma once

#include "commands.h"
#include "invocation.h"

#include "exit_status.h"

#include <QStringList>

#include <span>

namespace telvor {

struct ParsedCommandLine {
    // The command to run with its checked invocation; none when the arguments
    // were handled already, with `exitStatus` as the outcome.
    const Command* command = nullptr;
    Invocation invocation;
    int exitStatus = kExitSuccess;
};

// `table` is the command table, commands() unless a test offers its own.
ParsedCommandLine parseCommandLine(const QStringList& arguments, std::span<const Command> table = commands());

} // namespace telvor
