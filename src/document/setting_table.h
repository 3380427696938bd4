// The settings a document names: every value that an editor shows or keeps,
// hidden controls included, with its path, the kind of value it takes, where
// its bits lie in the settings image, its range and what it means. The rows
// are the one table of the document's paths; the reference page is made
// from them.
#pragma once

#include "image/settings_image.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace telvor {

enum class SettingKind {
    Text,             // an edit box's text, up to the field's width
    BalanceCheckCode, // up to 8 characters: 6 in URL2, then two bytes of their own
    Number,           // an integer in minimum..maximum
    CheckBox,         // true or false
    Choice,           // the caption of one of `choices`
    InputType,        // the caption of the input's checked type box, or "none"
    Members,          // a list of the captions in `choices` whose bits are set
    HourList,         // a list of hours 0 to 23
    Delay,            // the inputs editor's delay text ("30s", "5m")
    InputThreshold,   // a number in the unit of input n's type
    LineThreshold,    // a number in the unit of the extended lines' type in `unit`
};

// Texts compare and store as the editors show them, not by their bits.
constexpr bool holdsText(SettingKind kind)
{
    return kind == SettingKind::Text || kind == SettingKind::BalanceCheckCode;
}

// A caption and the bits of the setting's value that stand for it.
struct Choice {
    std::string_view caption;
    std::uint32_t bits;
};

// Where (part of) a setting's value lies: a field element of the image and
// the bits of it that the setting owns. The bits of a byte that its editor
// rebuilds without keeping them go with the setting that owns the highest of
// the byte's other bits, so that a document holds them too.
struct FieldPart {
    static constexpr int kRowNumber = -2;           // the index is the row's number n
    static constexpr std::uint32_t kWholeField = 0; // every bit of the field

    std::string_view key;
    int index = Field::kNotIndexed;
    int part = 1;
    std::uint32_t mask = kWholeField;
};

struct SettingRow {
    // Names joined by dots. '#' stands for the row's number n, which runs
    // from `first` to `last`; a row without '#' is one setting.
    std::string_view path;
    int first = 0;
    int last = 0;
    SettingKind kind;
    FieldPart field;
    // A second field of the same value, whose bits stand above the first's.
    FieldPart more{};
    long long minimum = 0; // Number
    long long maximum = 0;
    // Number: how the editor stores a typed number where that differs from
    // the number itself (65535 as a network code is stored as 0).
    std::uint16_t (*stored)(int typed) = nullptr;
    std::uint32_t checked = 0; // CheckBox: the bits that stand for true
    std::span<const Choice> choices{};
    FieldPart unit{}; // LineThreshold: the type code that gives the unit
    // The control's caption in its dialog ('#' is n), and what the setting
    // means: both for the reference page.
    std::string_view caption;
    std::string_view meaning;
};

// Every row, in the document's order: the editors in the order of the
// window's buttons, within an editor roughly as its dialog shows them.
std::span<const SettingRow> settingRows();

// One setting of one row.
struct Setting {
    std::string path;
    const SettingRow* row = nullptr;
    int number = 0; // the row's n; 0 for a row of one setting
    Slot field;
    std::uint32_t fieldMask = 0;
    std::optional<Slot> more;
    std::uint32_t moreMask = 0;
    std::optional<Slot> unit;

    SettingKind kind() const { return row->kind; }
    // Every bit the setting owns, in its value's numbering.
    std::uint32_t mask() const;
};

// Every setting, in the document's order, which is also the order in which
// a document's values are applied: an input's type before its thresholds.
std::span<const Setting> settings();

const Setting* findSetting(std::string_view path);

// The setting's own bits: the first field's masked value, the second
// field's above it (from bit 8 on).
std::uint32_t settingBits(const SettingsImage& image, const Setting& setting);
// Changes only the setting's own bits.
void setSettingBits(SettingsImage& image, const Setting& setting, std::uint32_t bits);

} // namespace telvor
