#include "device_keys.h"

#include <array>
#include <charconv>
#include <optional>

namespace telvor {

namespace {

// A key, or a run of indexed keys name + first .. name + last, and the
// version from which the device has it: versions above `minimum`, or
// `minimum` itself with a model letter from `modelFrom` on.
struct KeyAvailability {
    std::string_view name;
    int first = kWhole;
    int last = kWhole;
    int minimum = 0;
    bool needsExtended = false;
    char modelFrom = 0;

    static constexpr int kWhole = -1;
};

constexpr int kV17 = 0x17, kV19 = 0x19, kV20 = 0x20, kV22 = 0x22, kV25 = 0x25, kV26 = 0x26, kV27 = 0x27, kV28 = 0x28,
              kV36 = 0x36;

constexpr std::array kAvailability = {
    KeyAvailability{"PIN"},
    KeyAvailability{"NUM", 0, 5},
    KeyAvailability{"TRPT"},
    KeyAvailability{"RPTHR"},
    KeyAvailability{"ALMD"},
    KeyAvailability{"ULOx"},
    KeyAvailability{"UHIx"},
    KeyAvailability{"ICFGx"},
    KeyAvailability{"SCFGx"},
    KeyAvailability{"OCFGx"},
    KeyAvailability{"SCFG"},
    KeyAvailability{"HIST1"},
    KeyAvailability{"HIST2"},
    KeyAvailability{"RCFG"},
    KeyAvailability{"CLIP"},
    KeyAvailability{"CTRL"},
    KeyAvailability{"CSDC"},
    KeyAvailability{"MCFG1"},
    KeyAvailability{"SMS", 0, 9},
    KeyAvailability{"SLIM", KeyAvailability::kWhole, KeyAvailability::kWhole, kV17},
    KeyAvailability{"LOGT", KeyAvailability::kWhole, KeyAvailability::kWhole, kV19},
    KeyAvailability{"GRDHR", KeyAvailability::kWhole, KeyAvailability::kWhole, kV19},
    KeyAvailability{"APN", 0, 2, kV20},
    KeyAvailability{"APN", 3, 6, kV20, true},
    KeyAvailability{"EAD", 0, 5, kV20, true},
    KeyAvailability{"SEMLx", KeyAvailability::kWhole, KeyAvailability::kWhole, kV20, true},
    KeyAvailability{"SLOG", KeyAvailability::kWhole, KeyAvailability::kWhole, kV20, true},
    KeyAvailability{"SLGT", KeyAvailability::kWhole, KeyAvailability::kWhole, kV20, true},
    KeyAvailability{"ADELx", KeyAvailability::kWhole, KeyAvailability::kWhole, kV22},
    KeyAvailability{"MCFG2", KeyAvailability::kWhole, KeyAvailability::kWhole, kV25},
    KeyAvailability{"SXML", KeyAvailability::kWhole, KeyAvailability::kWhole, kV25},
    KeyAvailability{"XCFGx", KeyAvailability::kWhole, KeyAvailability::kWhole, kV25},
    KeyAvailability{"XMS", 1, 17, kV25},
    KeyAvailability{"NUM", 6, 10, kV26},
    KeyAvailability{"ATIM", KeyAvailability::kWhole, KeyAvailability::kWhole, kV26},
    KeyAvailability{"ECFGx", KeyAvailability::kWhole, KeyAvailability::kWhole, kV26},
    KeyAvailability{"SCLAx", KeyAvailability::kWhole, KeyAvailability::kWhole, kV26},
    KeyAvailability{"SCLBx", KeyAvailability::kWhole, KeyAvailability::kWhole, kV26},
    KeyAvailability{"THTP", KeyAvailability::kWhole, KeyAvailability::kWhole, kV27},
    KeyAvailability{"NUID", KeyAvailability::kWhole, KeyAvailability::kWhole, kV27},
    KeyAvailability{"TGAC", KeyAvailability::kWhole, KeyAvailability::kWhole, kV27},
    KeyAvailability{"URL0", KeyAvailability::kWhole, KeyAvailability::kWhole, kV27},
    KeyAvailability{"URL1", KeyAvailability::kWhole, KeyAvailability::kWhole, kV27},
    KeyAvailability{"URL2", KeyAvailability::kWhole, KeyAvailability::kWhole, kV27},
    KeyAvailability{"XTYP1", KeyAvailability::kWhole, KeyAvailability::kWhole, kV28},
    KeyAvailability{"XLO1", KeyAvailability::kWhole, KeyAvailability::kWhole, kV28},
    KeyAvailability{"XHI1", KeyAvailability::kWhole, KeyAvailability::kWhole, kV28},
    KeyAvailability{"XTYP9", KeyAvailability::kWhole, KeyAvailability::kWhole, kV28},
    KeyAvailability{"XLO9", KeyAvailability::kWhole, KeyAvailability::kWhole, kV28},
    KeyAvailability{"XHI9", KeyAvailability::kWhole, KeyAvailability::kWhole, kV28},
    // The network code is reported from model D of version 2.8 on.
    KeyAvailability{"COPS", KeyAvailability::kWhole, KeyAvailability::kWhole, kV28, false, 'D'},
    KeyAvailability{"WKDx", KeyAvailability::kWhole, KeyAvailability::kWhole, kV36},
};

const KeyAvailability* rowOf(std::string_view answerKey)
{
    for (const KeyAvailability& row : kAvailability)
        if (row.first == KeyAvailability::kWhole && row.name == answerKey)
            return &row;
    std::size_t digits = answerKey.size();
    while (digits > 0 && answerKey[digits - 1] >= '0' && answerKey[digits - 1] <= '9')
        --digits;
    if (digits == answerKey.size() || digits == 0)
        return nullptr;
    int index = 0;
    const auto [end, error] = std::from_chars(answerKey.data() + digits, answerKey.data() + answerKey.size(), index);
    if (error != std::errc() || end != answerKey.data() + answerKey.size())
        return nullptr;
    for (const KeyAvailability& row : kAvailability)
        if (row.first != KeyAvailability::kWhole && row.name == answerKey.substr(0, digits) && index >= row.first
            && index <= row.last)
            return &row;
    return nullptr;
}

} // namespace

bool deviceHasKey(std::string_view answerKey, const FirmwareVersion& version)
{
    const KeyAvailability* row = rowOf(answerKey);
    if (!row)
        return false;
    if (row->needsExtended && !version.extended)
        return false;
    return row->minimum == 0 || version.versionNumber > row->minimum
        || (version.versionNumber == row->minimum && version.modelLetter >= row->modelFrom);
}

} // namespace telvor
