#include "device_comparison.h"
#include "device_operations.h"
#include "line_format.h"
#include "verification_tables.h"

#include "link/device_link.h"

#include <algorithm>
#include <optional>

namespace telvor {

namespace {

constexpr int kRewritesPerStage = 3;

struct Mismatch {
    const RewrittenField* field;
    Slot slot;
    int position; // of the first differing character of a text, from 1
};

// The first field of a rewrite stage's walk that the device reported
// different. Once a plain comparison of the stage has failed, the walk ends
// after the first index whose values all match.
std::optional<Mismatch> firstMismatch(const RewriteStage& stage, const SettingsImage& working,
                                      const SettingsImage& device, bool passed)
{
    for (int index = stage.firstIndex; index <= stage.lastIndex; ++index) {
        for (const RewrittenField& field : stage.walkFields()) {
            const Slot compared = comparedSlot(field.key, index, 1);
            if (const int position = firstDifference(compared, working, device))
                return Mismatch{&field, compared, position};
        }
        if (!passed)
            return std::nullopt;
    }
    for (const RewrittenField& field : stage.afterWalkFields()) {
        const Slot compared = comparedSlot(field.key, Field::kNotIndexed, 1);
        if (const int position = firstDifference(compared, working, device))
            return Mismatch{&field, compared, position};
    }
    return std::nullopt;
}

void zero(SettingsImage& image, const Slot& field)
{
    const auto bytes = image.bytesOf(field);
    std::fill(bytes.begin(), bytes.end(), 0);
}

} // namespace

bool DeviceOperations::verify()
{
    // A short or garbled answer must not be compared with what an earlier
    // device reported.
    m_surface.setStep(OperationStep::Verifying);
    m_verification.clear();
    m_verifyLabel.clear();
    StageEnd end = verifySettings();
    for (const RewriteStage& stage : rewriteStages()) {
        if (end != StageEnd::Completed)
            break;
        if (holds(stage.condition, m_version, m_working))
            end = runRewriteStage(stage);
    }
    if (end == StageEnd::LinkLost)
        return false;
    if (end == StageEnd::Completed)
        for (const CompareRow& row : closingComparisons())
            if (holds(row.condition, m_version, m_working))
                differs(row);
    if (end == StageEnd::Completed && m_passed) {
        m_surface.appendStatusText(",\r\nverification successful.");
        return true;
    }
    // The device family's own result text, stray "w" included: kept exactly
    // as its users have always read it, so it is not to be corrected.
    m_surface.appendStatusText(",\r\nwverification failed!");
    m_surface.showMessage(formatText("Verify error %s", {m_verifyLabel}), {});
    return false;
}

DeviceOperations::StageEnd DeviceOperations::verifySettings()
{
    if (!command("HALT!", "No answer from device (HALT 2)", "Connection error (HALT 2)"))
        return StageEnd::LinkLost;
    progress(10);
    // Not every answer carries ATIM; missing, it must read as 0.
    zero(m_verification, slot("ATIM"));
    if (!query("SET?", "No answer from device (SET?)", "Connection error (SET?)"))
        return StageEnd::LinkLost;
    parseAnswerInto(m_verification);
    progress(50);
    m_passed = true;
    for (const CompareRow& row : settingsComparisons())
        if (holds(row.condition, m_version, m_working))
            differs(row);
    return m_passed ? StageEnd::Completed : StageEnd::EndedFailed;
}

DeviceOperations::StageEnd DeviceOperations::runRewriteStage(const RewriteStage& stage)
{
    int retryCount = 0;
    if (stage.progressWhenBegun)
        progress(70);
    for (;;) {
        if (!command("HALT!", stage.haltBox, stage.haltStatus))
            return StageEnd::LinkLost;
        for (const ZeroedFields& zeroed : stage.zeroedFields()) {
            if (zeroed.firstIndex == Field::kNotIndexed)
                zero(m_verification, comparedSlot(zeroed.key, Field::kNotIndexed, 1));
            for (int index = zeroed.firstIndex; index != Field::kNotIndexed && index <= zeroed.lastIndex; ++index)
                zero(m_verification, comparedSlot(zeroed.key, index, 1));
        }
        if (!query(stage.query, stage.queryBox, stage.queryStatus))
            return StageEnd::LinkLost;
        parseAnswerInto(m_verification);
        progress(100);
        m_passed = true;
        for (const CompareRow& row : stage.plainChecks)
            if (holds(row.condition, m_version, m_working))
                differs(row);

        if (const std::optional<Mismatch> mismatch = firstMismatch(stage, m_working, m_verification, m_passed)) {
            const RewrittenField& field = *mismatch->field;
            if (++retryCount <= kRewritesPerStage) {
                const FormatValue value = valueOf(m_working, mismatch->slot);
                const std::string line = mismatch->slot.index != Field::kNotIndexed
                    ? formatText(field.line, {long{mismatch->slot.index}, value})
                    : formatText(field.line, {value});
                pause(field.before == RewriteDelay::Long);
                m_link.sendCommand(line);
                pause(field.after == RewriteDelay::Long);
                continue;
            }
            m_verifyLabel = formatText(field.giveUpLabel, {long{mismatch->slot.index}, long{mismatch->position}});
            m_passed = false;
            return StageEnd::EndedFailed;
        }
        for (const CompareRow& row : stage.endingChecks)
            if (holds(row.condition, m_version, m_working) && differs(row))
                return StageEnd::EndedFailed;
        return StageEnd::Completed;
    }
}

bool DeviceOperations::differs(const CompareRow& row)
{
    if (!isCompared(row, m_working, m_verification, m_version))
        return false;
    const bool indexed = row.firstIndex != Field::kNotIndexed;
    for (int index = row.firstIndex; index <= row.lastIndex; ++index) {
        for (const ComparedField& field : row.compared()) {
            if (firstDifference(comparedSlot(field.key, index, field.part), m_working, m_verification) == 0)
                continue;
            m_verifyLabel = formatText(field.label, {long{index}});
            m_passed = false;
            return true;
        }
        if (!indexed)
            break;
    }
    return false;
}

} // namespace telvor
