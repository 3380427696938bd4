// Reads telvorctl's arguments into an Invocation, or handles them itself:
// --help and --version, and every wrong usage with its message.
#pragma once

#include "commands.h"
#include "invocation.h"

#include <QStringList>

#include <variant>

namespace telvor {

struct ParsedCommandLine {
    // The command to run with its checked invocation, or the exit status when
    // the arguments were handled already.
    std::variant<int, std::pair<const Command*, Invocation>> outcome;
};

ParsedCommandLine parseCommandLine(const QStringList& arguments);

} // namespace telvor
