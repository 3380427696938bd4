#include "diff_command.h"

#include "console.h"
#include "exit_status.h"
#include "image/field_value.h"
#include "settings_operand.h"

#include <cstdio>

namespace telvor {
namespace {

std::string hexByte(std::uint8_t byte)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", byte);
    return text;
}

// The lines for one row of the field table (an unindexed row runs its loop
// once, with kNotIndexed); returns how many differ.
int diffField(const Field& field, const SettingsImage& a, const SettingsImage& b)
{
    int differences = 0;
    if (field.encoding == Reserved) {
        for (int offset = field.offset; offset < field.end(); ++offset)
            if (a.bytes()[offset] != b.bytes()[offset]) {
                printLine("reserved " + std::to_string(offset) + ": " + hexByte(a.bytes()[offset]) + " -> "
                          + hexByte(b.bytes()[offset]));
                ++differences;
            }
        return differences;
    }
    for (int index = field.firstIndex; index <= field.lastIndex(); ++index) {
        const Slot element = slot(field.key, index, field.part);
        const std::string valueA = fieldValueText(a, element);
        const std::string valueB = fieldValueText(b, element);
        if (valueA != valueB) {
            printLine(element.name() + ": " + terminalText(valueA) + " -> " + terminalText(valueB));
            ++differences;
        }
    }
    return differences;
}

} // namespace

int runDiff(const Invocation& invocation)
{
    SettingsImage a;
    SettingsImage b;
    if (!readSettingsOperand(invocation.operands.at(0), a) || !readSettingsOperand(invocation.operands.at(1), b))
        return kExitUsage;
    int differences = 0;
    for (const Field& field : kSettingsFields)
        differences += diffField(field, a, b);
    return differences == 0 ? kExitSuccess : kExitFailure;
}

} // namespace telvor
