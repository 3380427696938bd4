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
        if (fieldValueText(a, element) != fieldValueText(b, element)) {
            printLine(differenceLine(element, a, b));
            ++differences;
        }
    }
    return differences;
}

} // namespace

std::string differenceLine(const Slot& element, const SettingsImage& a, const SettingsImage& b)
{
    return element.name() + ": " + terminalText(fieldValueText(a, element)) + " -> "
        + terminalText(fieldValueText(b, element));
}

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
