// The answers of the virtual device, read back by the program's parser,
// give back every field that the device's version has.
#include "image/settings_parser.h"
#include "sim/virtual_device.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace telvor {
namespace {

// From which version a field is reported, written out apart from the
// device's own table. `extended` fields need the letter E as well.
struct Availability {
    std::string_view prefix;
    int part;
    int from;
    bool extended = false;
    char modelFrom = 0;
};

const Availability kAvailability[] = {
    {"SLIM", 1, 0x17},
    {"LOGT", 1, 0x19},
    {"GRDHR", 1, 0x19},
    {"SEML", 1, 0x20, true},
    {"SLOG", 1, 0x20, true},
    {"SLGT", 1, 0x20, true},
    {"RCFG", 2, 0x20},
    {"ADEL", 1, 0x22},
    {"MCFG2", 1, 0x25},
    {"SXML", 1, 0x25},
    {"XCFG", 1, 0x25},
    {"XMS", 1, 0x25},
    {"ATIM", 1, 0x26},
    {"ECFG", 1, 0x26},
    {"SCLA", 1, 0x26},
    {"SCLB", 1, 0x26},
    {"RCFG", 3, 0x26},
    {"CLIP", 2, 0x26},
    {"CTRL", 2, 0x26},
    {"THTP", 1, 0x27},
    {"NUID", 1, 0x27},
    {"TGAC", 1, 0x27},
    {"URL0", 1, 0x27},
    {"URL1", 1, 0x27},
    {"URL2", 1, 0x27},
    {"XTYP", 1, 0x28},
    {"XLO", 1, 0x28},
    {"XHI", 1, 0x28},
    {"COPS", 1, 0x28, false, 'D'},
    {"WKD", 1, 0x36},
    {"URL2", 7, 0x36},
    {"URL2", 8, 0x36},
};

bool versionHas(const Slot& slot, const FirmwareVersion& version)
{
    const std::string_view key = slot.field->key;
    const int index = slot.index;
    if (key == "NUM")
        return index <= 5 || version.versionNumber >= 0x26;
    if (key == "APN")
        return version.versionNumber >= 0x20 && (index <= 2 || version.extended);
    if (key == "EAD")
        return version.versionNumber >= 0x20 && version.extended;
    for (const Availability& row : kAvailability) {
        if (!key.starts_with(row.prefix) || row.part != slot.field->part)
            continue;
        if (row.extended && !version.extended)
            return false;
        return version.versionNumber > row.from
            || (version.versionNumber == row.from && version.modelLetter >= row.modelFrom);
    }
    return true;
}

std::vector<Slot> everySlot()
{
    std::vector<Slot> slots;
    for (const Field& field : kSettingsFields) {
        if (field.encoding == Reserved)
            continue;
        for (int index = field.firstIndex; index <= (field.indexed() ? field.lastIndex() : field.firstIndex); ++index)
            slots.push_back(*findSlot(field.key, index, field.part));
    }
    return slots;
}

// A record the device could hold: texts without CR or 0x00, the receiver
// bytes that travel as two-character fields below 100, the balance check
// code's characters 7 and 8 only after a full six, hour sets with byte 3 zero.
SettingsImage randomImage(std::mt19937& random)
{
    SettingsImage image;
    std::uniform_int_distribution<int> byte(0, 255);
    for (auto& value : image.bytes())
        value = static_cast<std::uint8_t>(byte(random));
    std::uniform_int_distribution<int> character(0x20, 0xFF);
    std::uniform_int_distribution<int> plain(0x21, 0x7E);
    for (const Slot& slot : everySlot()) {
        if (slot.encoding == Text) {
            std::string text(std::uniform_int_distribution<int>(0, slot.width)(random), ' ');
            for (char& c : text)
                c = static_cast<char>(character(random));
            image.setText(slot, text);
        } else if (slot.encoding == Hours) {
            image.bytesOf(slot)[3] = 0;
        }
    }
    for (std::string_view key : {"RCFG", "CLIP", "CTRL"})
        for (int part = 1; part <= 3; ++part)
            if (const auto slot = slotByName(key, part))
                image.setNumber(*slot, std::uniform_int_distribution<int>(0, 99)(random));
    const Slot code = *slotByName("URL2");
    if (image.text(code).size() == static_cast<std::size_t>(code.width)) {
        image.setNumber(*slotByName("URL2", 7), plain(random));
        image.setNumber(*slotByName("URL2", 8), random() % 2 ? plain(random) : 0);
    } else {
        image.setNumber(*slotByName("URL2", 7), 0);
        image.setNumber(*slotByName("URL2", 8), 0);
    }
    return image;
}

bool sameValue(const SettingsImage& left, const SettingsImage& right, const Slot& slot)
{
    if (slot.encoding == Text)
        return left.text(slot) == right.text(slot);
    const auto a = left.bytesOf(slot);
    const auto b = right.bytesOf(slot);
    return std::equal(a.begin(), a.end(), b.begin());
}

class RoundTrip : public testing::TestWithParam<const char*> {};

TEST_P(RoundTrip, ParsedAnswersGiveBackEveryFieldOfTheVersion)
{
    std::mt19937 random(20261207);
    for (int round = 0; round < 25; ++round) {
        const SettingsImage stored = randomImage(random);
        VirtualDevice device(stored, GetParam());
        SettingsImage read = randomImage(random);
        const SettingsImage before = read;
        for (const char* query : {"SET?", "SMS?", "APN?", "EAD?", "XCFG?", "ECFG?"}) {
            const std::string answer = device.handleLine(query).bytes;
            parseSettings(answer, read, device.version().versionNumber);
        }
        for (const Slot& slot : everySlot()) {
            if (versionHas(slot, device.version())) {
                EXPECT_TRUE(sameValue(read, stored, slot)) << slot.name() << " round " << round;
            }
        }
        // Fields the version lacks are not reported, so they keep what they
        // had, but for those the parser clears when their key is read.
        for (const Slot& slot : everySlot()) {
            const bool clearedByParser = slot.field->part > 1 && slot.field->key != "ALMD";
            if (!versionHas(slot, device.version()) && !clearedByParser) {
                EXPECT_TRUE(sameValue(read, before, slot)) << slot.name() << " reported, round " << round;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, RoundTrip,
                         testing::Values("", "v1.7", "v1.9", "v2.0", "v2.0E", "v2.2", "v2.5", "v2.6", "v2.7", "v2.8",
                                         "v2.8D", "v2.9", "v3.5", "v3.6", "v3.6E"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             std::string name = *info.param ? info.param : "NoVersion";
                             std::erase(name, '.');
                             return name;
                         });

} // namespace
} // namespace telvor
