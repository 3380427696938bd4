// The commands of telvorctl and their options, declared as data. Each command
// is one function in its own file and one row of commands(); an option is one
// row of commandOptions(), offered to the commands whose `options` name its
// group.
#pragma once

#include "invocation.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace telvor {

// Option groups that a command accepts besides its operands.
enum CommandOptions : unsigned {
    kNoOptions = 0,
    kConnectionOptions = 1 << 0, // --tcp, --com, --trace, --strict-serial, --quiet
    kBaseOption = 1 << 1,        // --base FILE.tvr
    kServiceOptions = 1 << 2,    // --set-clock, --reset-device, --reset-counters, --erase-log
    kProbeOption = 1 << 3,       // --probe
    kJsonOption = 1 << 4,        // --json
    kHistoryFileOption = 1 << 5, // --history FILE
    kRecordingOptions = 1 << 6,  // --no-history
    kBackupOption = 1 << 7,      // --no-backup
    kListOptions = 1 << 8,       // --target T, --limit N
    kImageOption = 1 << 9,       // --image KIND
    kAgeOption = 1 << 10,        // --older-than DAYS
    kOutputOption = 1 << 11,     // -o OUT
    kFleetOptions = 1 << 12,     // --jobs N, --retries K, --receipts FILE, --dry-run, --resume
};

struct Command {
    std::string_view name;
    std::string_view summary; // its line in the help's list of commands
    // The operands' names, separated by spaces; a last name ending in "..."
    // stands for one or more operands.
    std::string_view operands;
    unsigned options;
    int (*run)(const Invocation&);
    // The command whose word comes first ("history" for "history show");
    // empty for a command of its own. It stands earlier in the table.
    std::string_view parent = {};
};

// "show", "history show": the command's words.
std::string commandPath(const Command& command);

// Why an option's value is refused; nothing when the value was taken.
using OptionRefusal = std::optional<std::string>;

struct CommandOption {
    std::string_view name;      // without the leading "--"
    std::string_view valueName; // empty for a switch
    std::string_view description;
    unsigned group;
    // Takes one value that was given ("" for a switch) into the invocation.
    OptionRefusal (*take)(const std::string& value, Invocation& invocation);
    char shortName = '\0'; // a one-letter name besides the long one, if any
};

std::span<const Command> commands();
std::span<const CommandOption> commandOptions();

} // namespace telvor
