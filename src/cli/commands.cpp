#include "commands.h"

#include "diff_command.h"
#include "show_command.h"

#include <array>

namespace telvor {

std::span<const Command> commands()
{
    static constexpr std::array table = {
        Command{"show", "show FILE.tvr", 1, kNoOptions, runShow},
        Command{"diff", "diff A.tvr B.tvr", 2, kNoOptions, runDiff},
    };
    return table;
}

} // namespace telvor
