// The vocabulary of the device's answers: every key that the settings text
// parser knows, in the order in which it tries them at each position of an
// answer, with the kind of value that follows the key and the fields that the
// values fill. The parser, telvorctl show and the virtual device's answers are
// all driven by this one table.
#pragma once

#include "settings_fields.h"

#include <array>
#include <optional>
#include <string_view>

namespace telvor {

enum class ValueKind {
    Text,           // characters up to a CR, cut at the field's width
    NumberedText,   // a digit d and "=" follow the key, then text into element d
    ExtendedBody,   // a number n and "=" follow the key, then text into element n
    BalanceCode,    // six characters into the text field, characters 7 and 8 apart
    Numbers,        // comma-separated decimal numbers, one per target
    NumberOrZero,   // one number; 0 when it does not parse
    FixedPositions, // two-character values at fixed distances; how many by version
};

// How the values of a key land in the field table.
enum class Spread {
    Elements, // value v into element firstIndex + v, or the one unindexed field
    Bytes,    // value v into byte v of one field (the hour sets)
    Parts,    // value v into part v + 1 of the key (RCFG, CLIP, CTRL, ALMD)
};

struct AnswerKey {
    std::string_view text; // matched exactly and case-sensitively: "ICFGx=", "SMS"
    ValueKind kind;
    std::string_view field; // the key of the target rows in kSettingsFields
    int count = 1;          // values of a list; elements of a numbered text
    int firstIndex = Field::kNotIndexed;
    Spread spread = Spread::Elements;
    // FixedPositions: the least versionNumber that carries value v.
    std::array<int, 3> fromVersion{};

    // The key as the device writes it, without the "=": "ICFGx", "SMS".
    constexpr std::string_view name() const { return text.ends_with('=') ? text.substr(0, text.size() - 1) : text; }
};

inline constexpr std::array kAnswerKeys = [] {
    using enum ValueKind;
    using enum Spread;
    return std::array{
        AnswerKey{"PIN=", Text, "PIN"},
        AnswerKey{"NUM0=", Text, "NUM", 1, 0},
        AnswerKey{"NUM1=", Text, "NUM", 1, 1},
        AnswerKey{"NUM2=", Text, "NUM", 1, 2},
        AnswerKey{"NUM3=", Text, "NUM", 1, 3},
        AnswerKey{"NUM4=", Text, "NUM", 1, 4},
        AnswerKey{"NUM5=", Text, "NUM", 1, 5},
        AnswerKey{"TRPT=", Numbers, "TRPT"},
        AnswerKey{"COPS=", NumberOrZero, "COPS"},
        AnswerKey{"RPTHR=", Numbers, "RPTHR", 3, Field::kNotIndexed, Bytes},
        AnswerKey{"ALMD=", Numbers, "ALMD", 2, Field::kNotIndexed, Parts},
        AnswerKey{"ULOx=", Numbers, "ULO", 8, 1},
        AnswerKey{"UHIx=", Numbers, "UHI", 8, 1},
        AnswerKey{"ICFGx=", Numbers, "ICFG", 8, 1},
        AnswerKey{"SCFGx=", Numbers, "SCFG", 8, 1},
        AnswerKey{"OCFGx=", Numbers, "OCFG", 8, 1},
        AnswerKey{"SCFG=", Numbers, "SCFG"},
        AnswerKey{"SLIM=", Numbers, "SLIM"},
        AnswerKey{"HIST1=", Numbers, "HIST1"},
        AnswerKey{"HIST2=", Numbers, "HIST2"},
        AnswerKey{"RCFG=", FixedPositions, "RCFG", 3, Field::kNotIndexed, Parts, {0, 32, 38}},
        AnswerKey{"CLIP=", FixedPositions, "CLIP", 2, Field::kNotIndexed, Parts, {0, 38}},
        AnswerKey{"CTRL=", FixedPositions, "CTRL", 2, Field::kNotIndexed, Parts, {0, 38}},
        AnswerKey{"CSDC=", Numbers, "CSDC"},
        AnswerKey{"MCFG1=", Numbers, "MCFG1"},
        AnswerKey{"SMS", NumberedText, "SMS", 10, 0},
        AnswerKey{"LOGT=", Numbers, "LOGT"},
        AnswerKey{"GRDHR=", Numbers, "GRDHR", 3, Field::kNotIndexed, Bytes},
        AnswerKey{"APN", NumberedText, "APN", 7, 0},
        AnswerKey{"EAD", NumberedText, "EAD", 6, 0},
        AnswerKey{"SEMLx=", Numbers, "SEML", 8, 1},
        AnswerKey{"ADELx=", Numbers, "ADEL", 8, 1},
        AnswerKey{"SLOG=", Numbers, "SLOG"},
        AnswerKey{"SLGT=", Numbers, "SLGT"},
        AnswerKey{"MCFG2=", Numbers, "MCFG2"},
        AnswerKey{"SXML=", Numbers, "SXML"},
        AnswerKey{"XCFGx=", Numbers, "XCFG", 17, 1},
        AnswerKey{"XMS", ExtendedBody, "XMS", 17, 1},
        AnswerKey{"ATIM=", Numbers, "ATIM"},
        AnswerKey{"NUM6=", Text, "NUM", 1, 6},
        AnswerKey{"NUM7=", Text, "NUM", 1, 7},
        AnswerKey{"NUM8=", Text, "NUM", 1, 8},
        AnswerKey{"NUM9=", Text, "NUM", 1, 9},
        AnswerKey{"NUM10=", Text, "NUM", 1, 10},
        AnswerKey{"ECFGx=", Numbers, "ECFG", 8, 1},
        AnswerKey{"SCLAx=", Numbers, "SCLA", 8, 1},
        AnswerKey{"SCLBx=", Numbers, "SCLB", 8, 1},
        AnswerKey{"THTP=", Numbers, "THTP"},
        AnswerKey{"NUID=", Numbers, "NUID"},
        AnswerKey{"TGAC=", Numbers, "TGAC"},
        AnswerKey{"URL0=", Text, "URL0"},
        AnswerKey{"URL1=", Text, "URL1"},
        AnswerKey{"URL2=", BalanceCode, "URL2"},
        AnswerKey{"XTYP1=", Numbers, "XTYP1"},
        AnswerKey{"XLO1=", Numbers, "XLO1"},
        AnswerKey{"XHI1=", Numbers, "XHI1"},
        AnswerKey{"XTYP9=", Numbers, "XTYP9"},
        AnswerKey{"XLO9=", Numbers, "XLO9"},
        AnswerKey{"XHI9=", Numbers, "XHI9"},
        AnswerKey{"WKDx=", Numbers, "WKD", 3, 1},
    };
}();

// The field element that value `value` (0 for the first) of the key fills;
// for NumberedText and ExtendedBody, element firstIndex + value.
constexpr Slot valueSlot(const AnswerKey& key, int value)
{
    switch (key.spread) {
    case Spread::Parts:
        return slot(key.field, Field::kNotIndexed, value + 1);
    case Spread::Bytes: {
        const Slot hours = slot(key.field);
        return Slot{hours.offset + value, 1, U8, hours.field, Field::kNotIndexed};
    }
    case Spread::Elements:
        break;
    }
    if (key.firstIndex == Field::kNotIndexed)
        return slot(key.field);
    return slot(key.field, key.firstIndex + value);
}

// The balance check code's characters 7 and 8, kept apart from its first six.
inline constexpr Slot kBalanceCodeSeventh = slot("URL2", Field::kNotIndexed, 7);
inline constexpr Slot kBalanceCodeEighth = slot("URL2", Field::kNotIndexed, 8);

// The key as the device writes it without "=" ("ICFGx", "NUM10", "SMS").
constexpr std::optional<AnswerKey> findAnswerKey(std::string_view name)
{
    for (const AnswerKey& key : kAnswerKeys)
        if (key.name() == name)
            return key;
    return std::nullopt;
}

} // namespace telvor
