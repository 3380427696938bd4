// The commands of telvorctl. Each command is one function in its own file and
// one row of the table in commands.cpp.
#pragma once

#include "invocation.h"

#include <span>
#include <string_view>

namespace telvor {

// Option groups that a command accepts besides its operands.
enum CommandOptions : unsigned {
    kNoOptions = 0,
    kConnectionOptions = 1 << 0, // --tcp, --com, --trace
    kBaseOption = 1 << 1,        // --base FILE.tvr
    kServiceOptions = 1 << 2,    // --set-clock, --reset-device, --reset-counters, --erase-log
};

struct Command {
    std::string_view name;
    std::string_view usage; // the line after "telvorctl " in the help
    int operandCount;
    unsigned options;
    int (*run)(const Invocation&);
};

std::span<const Command> commands();

} // namespace telvor
