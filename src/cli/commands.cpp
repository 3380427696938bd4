#include "commands.h"

#include "device_commands.h"
#include "diff_command.h"
#include "show_command.h"

#include <array>

namespace telvor {

std::span<const Command> commands()
{
    static constexpr std::array table = {
        Command{"version", "version", 0, kConnectionOptions, runVersion},
        Command{"read", "read [--base FILE.tvr] OUT.tvr", 1, kConnectionOptions | kBaseOption, runRead},
        Command{"write", "write [--set-clock] [--reset-device] [--reset-counters] [--erase-log] FILE.tvr", 1,
                kConnectionOptions | kServiceOptions, runWrite},
        Command{"show", "show FILE.tvr", 1, kNoOptions, runShow},
        Command{"diff", "diff A.tvr B.tvr", 2, kNoOptions, runDiff},
    };
    return table;
}

} // namespace telvor
