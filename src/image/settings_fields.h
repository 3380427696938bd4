// The layout of the settings image: every field of the 3608-byte record,
// in offset order, reserved stretches included. Everything that reads or
// writes a field by its device key (the parser, show and diff, the write
// lines, the verification, the virtual device and the editors) finds it
// here.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace telvor {

inline constexpr std::size_t kImageSize = 3608;

enum class Encoding {
    Text,     // N characters, 0x00 after a shorter text, none after a full one
    U8,       // 0 to 255
    U16,      // little-endian, 0 to 65535
    S16,      // little-endian two's complement
    Flags,    // a byte of independent bits
    Hours,    // 24 bits in bytes 0 to 2, byte 3 always 0
    Char,     // one character byte; 0x00 or 0xFF means none
    Reserved, // travels only with the whole record
};

// One row of the layout. An indexed row covers `count` elements named
// key + index, for index = firstIndex .. firstIndex + count - 1, element i at
// offset + stride * (i - firstIndex). `part` tells apart the values of one
// key that are stored apart: the first, second and third value of RCFG, CLIP,
// CTRL and ALMD (1, 2, 3), and characters 7 and 8 of the balance check code
// (URL2 parts 7 and 8; its characters 1 to 6 are part 1).
struct Field {
    std::string_view key;
    int offset;
    int width;
    Encoding encoding;
    int count = 1;
    int stride = 0;
    int firstIndex = kNotIndexed;
    int part = 1;

    static constexpr int kNotIndexed = -1;
    constexpr bool indexed() const { return firstIndex != kNotIndexed; }
    constexpr int lastIndex() const { return firstIndex + count - 1; }
    constexpr int end() const { return offset + (count - 1) * stride + width; }
};

using enum Encoding;

inline constexpr std::array kSettingsFields = {
    Field{"PIN", 0, 8, Text},
    Field{"NUM", 8, 16, Text, 6, 16, 0},
    Field{"TRPT", 104, 2, U16},
    Field{"ULO", 106, 2, U16, 8, 2, 1},
    Field{"UHI", 122, 2, U16, 8, 2, 1},
    Field{"ICFG", 138, 1, Flags, 8, 1, 1},
    Field{"OCFG", 146, 1, Flags, 8, 1, 1},
    Field{"SCFG", 154, 1, Flags, 8, 1, 1},
    Field{"SCFG", 162, 1, Flags},
    Field{"SMS", 163, 160, Text, 10, 160, 0},
    Field{"HIST1", 1763, 1, U8},
    Field{"HIST2", 1764, 1, U8},
    Field{"RCFG", 1765, 1, Flags},
    Field{"CLIP", 1766, 1, Flags},
    Field{"CTRL", 1767, 1, Flags},
    Field{"CSDC", 1768, 1, Flags},
    Field{"MCFG1", 1769, 1, Flags},
    Field{"RPTHR", 1770, 4, Hours},
    Field{"ALMD", 1774, 1, Flags},
    Field{"ALMD", 1775, 1, Flags, 1, 0, Field::kNotIndexed, 2},
    Field{"SLIM", 1776, 1, U8},
    Field{"LOGT", 1777, 1, U8},
    Field{"GRDHR", 1778, 4, Hours},
    Field{"SEML", 1782, 1, Flags, 8, 1, 1},
    Field{"APN", 1790, 32, Text, 7, 32, 0},
    Field{"", 2014, 32, Reserved},
    Field{"EAD", 2046, 64, Text, 6, 64, 0},
    Field{"SLOG", 2430, 1, Flags},
    Field{"SLGT", 2431, 1, Flags},
    Field{"RCFG", 2432, 1, Flags, 1, 0, Field::kNotIndexed, 2},
    Field{"ADEL", 2433, 1, U8, 8, 1, 1},
    Field{"MCFG2", 2441, 1, Flags},
    Field{"XCFG", 2442, 1, Flags, 17, 1, 1},
    Field{"XMS", 2459, 40, Text, 17, 40, 1},
    Field{"SXML", 3139, 1, Flags},
    Field{"NUM", 3140, 16, Text, 5, 16, 6},
    Field{"ATIM", 3220, 1, U8},
    Field{"ECFG", 3221, 1, Flags, 8, 1, 1},
    Field{"", 3229, 1, Reserved},
    Field{"SCLA", 3230, 2, S16, 8, 2, 1},
    Field{"SCLB", 3246, 2, S16, 8, 2, 1},
    Field{"", 3262, 123, Reserved},
    Field{"WKD", 3385, 1, Flags, 3, 1, 1},
    Field{"URL2", 3388, 1, Char, 1, 0, Field::kNotIndexed, 7},
    Field{"URL2", 3389, 1, Char, 1, 0, Field::kNotIndexed, 8},
    Field{"NUID", 3390, 2, U16},
    Field{"THTP", 3392, 1, U8},
    Field{"URL0", 3393, 64, Text},
    Field{"URL1", 3457, 128, Text},
    Field{"URL2", 3585, 6, Text},
    Field{"TGAC", 3591, 1, U8},
    Field{"RCFG", 3592, 1, Flags, 1, 0, Field::kNotIndexed, 3},
    Field{"CLIP", 3593, 1, Flags, 1, 0, Field::kNotIndexed, 2},
    Field{"CTRL", 3594, 1, Flags, 1, 0, Field::kNotIndexed, 2},
    Field{"", 3595, 1, Reserved},
    Field{"XLO1", 3596, 2, U16},
    Field{"XHI1", 3598, 2, U16},
    Field{"XLO9", 3600, 2, U16},
    Field{"XHI9", 3602, 2, U16},
    Field{"XTYP1", 3604, 1, U8},
    Field{"XTYP9", 3605, 1, U8},
    Field{"COPS", 3606, 2, U16},
};

// One element of a field: where it lies and how it is encoded.
struct Slot {
    int offset = 0;
    int width = 0;
    Encoding encoding = Reserved;
    const Field* field = nullptr;
    int index = Field::kNotIndexed;

    // The element's name as a person reads it: ICFG3, NUM0, TRPT; a further
    // value of a multi-value key as RCFG.2, a balance check character as
    // URL2.7.
    std::string name() const;
};

constexpr std::optional<Slot> findSlot(std::string_view key, int index = Field::kNotIndexed, int part = 1)
{
    for (const Field& field : kSettingsFields) {
        if (field.key != key || field.part != part || field.encoding == Reserved)
            continue;
        if (!field.indexed() && index == Field::kNotIndexed)
            return Slot{field.offset, field.width, field.encoding, &field, index};
        if (field.indexed() && index >= field.firstIndex && index <= field.lastIndex())
            return Slot{field.offset + field.stride * (index - field.firstIndex), field.width, field.encoding, &field,
                        index};
    }
    return std::nullopt;
}

// A field element named in code. An unknown name is a compile-time error
// wherever the call is a constant expression.
constexpr Slot slot(std::string_view key, int index = Field::kNotIndexed, int part = 1)
{
    const std::optional<Slot> found = findSlot(key, index, part);
    if (!found)
        throw "no such field in the settings image";
    return *found;
}

// A field element named as the device names it: "ICFG3", "NUM10", "TRPT",
// "SMS0", "XMS17". Keys whose own name ends in a digit (HIST1, MCFG2, URL0,
// XLO9) are found before an index is split off.
std::optional<Slot> slotByName(std::string_view name, int part = 1);

} // namespace telvor
