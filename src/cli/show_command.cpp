#include "show_command.h"

#include "console.h"
#include "exit_status.h"
#include "image/answer_keys.h"
#include "image/answer_lines.h"
#include "settings_operand.h"

namespace telvor {
namespace {

// The version that carries every value of every key.
constexpr int kFullVersion = 0x36;

} // namespace

int runShow(const Invocation& invocation)
{
    SettingsImage image;
    if (!readSettingsOperand(invocation.operands.at(0), image))
        return kExitUsage;
    for (const AnswerKey& key : kAnswerKeys)
        for (const std::string& line : answerLines(key.name(), image, kFullVersion))
            printLine(terminalText(line));
    return kExitSuccess;
}

} // namespace telvor
