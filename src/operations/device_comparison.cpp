#include "device_comparison.h"

#include "line_format.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>

namespace telvor {

namespace {

void addDifferences(const CompareRow& row, const SettingsImage& working, const SettingsImage& device,
                    const FirmwareVersion& version, std::vector<Slot>& differences)
{
    if (!holds(row.condition, version, working) || !isCompared(row, working, device, version))
        return;
    const bool indexed = row.firstIndex != Field::kNotIndexed;
    for (int index = row.firstIndex; index <= row.lastIndex; ++index) {
        for (const ComparedField& field : row.compared()) {
            const Slot compared = comparedSlot(field.key, index, field.part);
            if (firstDifference(compared, working, device) != 0)
                differences.push_back(compared);
        }
        if (!indexed)
            break;
    }
}

void addDifferences(std::span<const CompareRow> rows, const SettingsImage& working, const SettingsImage& device,
                    const FirmwareVersion& version, std::vector<Slot>& differences)
{
    for (const CompareRow& row : rows)
        addDifferences(row, working, device, version, differences);
}

void addDifferences(std::span<const RewrittenField> fields, int index, const SettingsImage& working,
                    const SettingsImage& device, std::vector<Slot>& differences)
{
    for (const RewrittenField& field : fields) {
        const Slot compared = comparedSlot(field.key, index, 1);
        if (firstDifference(compared, working, device) != 0)
            differences.push_back(compared);
    }
}

} // namespace

Slot comparedSlot(std::string_view key, int index, int part)
{
    const std::optional<Slot> found = index == Field::kNotIndexed ? slotByName(key, part) : findSlot(key, index, part);
    if (!found)
        throw std::logic_error("no field " + std::string(key) + " to compare");
    return *found;
}

int firstDifference(const Slot& field, const SettingsImage& working, const SettingsImage& device)
{
    if (field.encoding != Text)
        return working.number(field) == device.number(field) ? 0 : 1;
    const auto expected = working.bytesOf(field);
    const auto reported = device.bytesOf(field);
    for (std::size_t position = 0; position < expected.size() && expected[position] != 0; ++position)
        if (expected[position] != reported[position])
            return static_cast<int>(position) + 1;
    return 0;
}

bool isCompared(const CompareRow& row, const SettingsImage& working, const SettingsImage& device,
                const FirmwareVersion& version)
{
    if (row.balanceCharacter == 0)
        return true;
    const Slot code = slot("URL2");
    const bool codeComplete = working.text(code).size() == static_cast<std::size_t>(code.width)
        && std::ranges::equal(working.bytesOf(code), device.bytesOf(code));
    return codeComplete && balanceCharacterSent(row.balanceCharacter, working, version);
}

std::vector<Slot> verificationDifferences(const SettingsImage& working, const SettingsImage& device,
                                          const FirmwareVersion& version)
{
    std::vector<Slot> differences;
    addDifferences(settingsComparisons(), working, device, version, differences);
    for (const RewriteStage& stage : rewriteStages()) {
        if (!holds(stage.condition, version, working))
            continue;
        addDifferences(stage.plainChecks, working, device, version, differences);
        for (int index = stage.firstIndex; index <= stage.lastIndex; ++index)
            addDifferences(stage.walkFields(), index, working, device, differences);
        addDifferences(stage.afterWalkFields(), Field::kNotIndexed, working, device, differences);
        addDifferences(stage.endingChecks, working, device, version, differences);
    }
    addDifferences(closingComparisons(), working, device, version, differences);
    return differences;
}

} // namespace telvor
