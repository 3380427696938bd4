// Reads telvorctl's arguments into an Invocation, or handles them itself:
// --help and --version, and every wrong usage with its message.
#pragma once

#include "commands.h"
#include "exit_status.h"
#include "invocation.h"

#include <span>
#include <string>
#include <vector>

namespace telvor {

struct ParsedCommandLine {
    // The command to run with its checked invocation; none when the arguments
    // were handled already, with `exitStatus` as the outcome.
    const Command* command = nullptr;
    Invocation invocation;
    int exitStatus = kExitSuccess;
};

// `arguments` follow the program's name, as the system passed them (file
// names stay in the file system's encoding). `table` is the command table,
// commands() unless a test offers its own.
ParsedCommandLine parseCommandLine(std::vector<std::string> arguments, std::span<const Command> table = commands());

} // namespace telvor
