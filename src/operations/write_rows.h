// The write vocabulary: every line "Write to device" sends, in order, with the
// fields its values come from and what is shown when the device does not
// acknowledge it.
#pragma once

#include "group_condition.h"
#include "line_format.h"

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace telvor {

inline constexpr int kProgressUnchanged = -1;

struct WriteRow {
    enum class Kind {
        Line,        // unacknowledged: box and status, the write stops
        Halt,        // "HALT!", its result is ignored
        MessageBody, // unacknowledged: sent once more before the write stops
        End,         // no line, only the progress
    };

    Kind kind = Kind::Line;
    GroupCondition condition = GroupCondition::Always;
    std::string_view format;
    std::array<LineValue, 8> values{};
    int valueCount = 0;
    // Rows with an index are sent once per index, rising; the last index is
    // lastIndexExtended when the version has the letter E.
    int firstIndex = Field::kNotIndexed;
    int lastIndex = Field::kNotIndexed;
    int lastIndexExtended = Field::kNotIndexed;
    std::string_view box;                  // "%d" takes the index
    std::string_view status;               // "%d" takes the index
    int progressBase = kProgressUnchanged; // after the acknowledgement: base + step * index
    int progressStep = 0;
    int progressBefore = kProgressUnchanged;

    bool indexed() const { return firstIndex != Field::kNotIndexed; }
    int lastIndexFor(const FirmwareVersion& version) const
    {
        return version.extended && lastIndexExtended != Field::kNotIndexed ? lastIndexExtended : lastIndex;
    }
    std::span<const LineValue> lineValues() const { return {values.data(), static_cast<std::size_t>(valueCount)}; }
};

std::span<const WriteRow> writeRows();

// The line of a row at an index, built from the working image.
std::string buildWriteLine(const WriteRow& row, const SettingsImage& image, const FirmwareVersion& version, int index);

// Every line a write sends to a device that acknowledges each one, "HALT!"
// lines included, in order.
std::vector<std::string> writeLinesFor(const SettingsImage& image, const FirmwareVersion& version);

} // namespace telvor
