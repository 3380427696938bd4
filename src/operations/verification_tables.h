// What the verification after a write compares, and how it rewrites a group
// whose values came back different.
#pragma once

#include "group_condition.h"

#include <array>
#include <span>
#include <string_view>

namespace telvor {

// One field compared between the working image and the device's answer,
// and the label that names it when it differs ("%d" takes the index).
struct ComparedField {
    std::string_view key;
    int part = 1;
    std::string_view label;
};

// A comparison without rewrite. An indexed row walks its indices and its
// fields in order and stops at the first difference.
struct CompareRow {
    GroupCondition condition = GroupCondition::Always;
    std::array<ComparedField, 3> fields{};
    int fieldCount = 0;
    int firstIndex = Field::kNotIndexed;
    int lastIndex = Field::kNotIndexed;
    // 7 or 8: a character of the balance check code beyond URL2's six, which
    // is compared only when the write sent it and the six came back right.
    int balanceCharacter = 0;

    std::span<const ComparedField> compared() const { return {fields.data(), static_cast<std::size_t>(fieldCount)}; }
};

enum class RewriteDelay { Short, Long };

// A field of a rewrite stage: sent again with `line` when it differs, until
// the stage has rewritten three times; then `giveUpLabel` names it. A text's
// label takes the index and the position of the first differing character.
struct RewrittenField {
    std::string_view key;
    std::string_view line;
    RewriteDelay before = RewriteDelay::Short;
    RewriteDelay after = RewriteDelay::Short;
    std::string_view giveUpLabel;
};

struct ZeroedFields {
    std::string_view key;
    int firstIndex = Field::kNotIndexed;
    int lastIndex = Field::kNotIndexed;
};

struct RewriteStage {
    GroupCondition condition = GroupCondition::Always;
    std::string_view haltBox;
    std::string_view haltStatus;
    std::array<ZeroedFields, 5> zeroed{};
    int zeroedCount = 0;
    std::string_view query;
    std::string_view queryBox;
    std::string_view queryStatus;
    bool progressWhenBegun = false; // 70 when the stage begins, not on a restart
    int firstIndex = Field::kNotIndexed;
    int lastIndex = Field::kNotIndexed;
    std::array<RewrittenField, 3> walk{};
    int walkCount = 0;
    std::array<RewrittenField, 1> afterWalk{};
    int afterWalkCount = 0;
    // Marks the verification failed, without rewrite, before the walk; the
    // walk then stops after the first index whose values all match.
    std::span<const CompareRow> plainChecks;
    // After the walk, without rewrite; the first difference ends the
    // verification.
    std::span<const CompareRow> endingChecks;

    std::span<const ZeroedFields> zeroedFields() const
    {
        return {zeroed.data(), static_cast<std::size_t>(zeroedCount)};
    }
    std::span<const RewrittenField> walkFields() const { return {walk.data(), static_cast<std::size_t>(walkCount)}; }
    std::span<const RewrittenField> afterWalkFields() const
    {
        return {afterWalk.data(), static_cast<std::size_t>(afterWalkCount)};
    }
};

std::span<const CompareRow> settingsComparisons();
std::span<const RewriteStage> rewriteStages();
std::span<const CompareRow> closingComparisons();

} // namespace telvor
