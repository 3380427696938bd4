// The table of settings: every bit an editor shows or keeps has exactly one
// path, the reserved stretches have none, and the paths are the file format's
// names, fixed once and for all.
#include "document/setting_table.h"

#include <gtest/gtest.h>

#include <array>
#include <regex>
#include <set>

namespace telvor {
namespace {

// How many settings own each bit of the image.
std::array<std::array<int, 8>, kImageSize> owners()
{
    std::array<std::array<int, 8>, kImageSize> count{};
    const auto own = [&count](const Slot& field, std::uint32_t mask) {
        for (int index = 0; index < field.width; ++index)
            for (int bit = 0; bit < 8; ++bit)
                if (field.width > 4 || (mask >> (8 * index + bit) & 1))
                    ++count[field.offset + index][bit];
    };
    for (const Setting& setting : settings()) {
        own(setting.field, setting.fieldMask);
        if (setting.more)
            own(*setting.more, setting.moreMask);
        if (setting.kind() == SettingKind::BalanceCheckCode) {
            own(slot("URL2", Field::kNotIndexed, 7), 0xFF);
            own(slot("URL2", Field::kNotIndexed, 8), 0xFF);
        }
    }
    return count;
}

TEST(SettingTable, EveryBitOutsideTheReservedStretchesHasOnePath)
{
    const auto count = owners();
    std::set<int> unowned;
    for (const Field& field : kSettingsFields)
        if (field.encoding == Reserved)
            for (int offset = field.offset; offset < field.end(); ++offset)
                unowned.insert(offset);
    // Filled from the device's answer only: no editor shows or keeps them.
    unowned.insert(slot("OCFG", 7).offset);
    unowned.insert(slot("OCFG", 8).offset);
    for (int offset = 0; offset < static_cast<int>(kImageSize); ++offset)
        for (int bit = 0; bit < 8; ++bit)
            EXPECT_EQ(count[offset][bit], unowned.contains(offset) ? 0 : 1) << "offset " << offset << " bit " << bit;
}

TEST(SettingTable, PathsAreUniqueNamesInLowerCase)
{
    const std::regex name("[a-z][a-z0-9_]*|L[1-8]|O[1-6]|XL([1-9]|1[0-6])");
    std::set<std::string> paths;
    for (const Setting& setting : settings()) {
        EXPECT_TRUE(paths.insert(setting.path).second) << setting.path;
        std::size_t start = 0;
        while (start <= setting.path.size()) {
            const std::size_t dot = std::min(setting.path.find('.', start), setting.path.size());
            EXPECT_TRUE(std::regex_match(setting.path.substr(start, dot - start), name)) << setting.path;
            start = dot + 1;
        }
        EXPECT_EQ(findSetting(setting.path), &setting);
    }
    // No path is a group of another.
    for (const std::string& path : paths) {
        const auto next = paths.upper_bound(path);
        EXPECT_FALSE(next != paths.end() && next->starts_with(path + ".")) << path;
    }
}

TEST(SettingTable, HasTheFixedNames)
{
    for (const char* path : {"basic.pin", "basic.smsc", "basic.num_1", "basic.num_10", "inputs.L1.type",
                             "inputs.L1.low_threshold", "inputs.L1.high_threshold", "messages.L1", "scaling.L3.a",
                             "scaling.L3.b", "inputs.L8.type", "outputs.O6.permanent", "extended_lines.XL16.body"})
        EXPECT_NE(findSetting(path), nullptr) << path;
    EXPECT_EQ(findSetting("basic.num_0"), nullptr);
    EXPECT_EQ(findSetting("basic.num_11"), nullptr);
    EXPECT_EQ(findSetting("inputs.L9.type"), nullptr);
    EXPECT_EQ(findSetting("basic"), nullptr);
}

TEST(SettingTable, EditorsComeInTheOrderOfTheWindowsButtons)
{
    std::vector<std::string> sections;
    for (const Setting& setting : settings()) {
        const std::string section = setting.path.substr(0, setting.path.find('.'));
        if (sections.empty() || sections.back() != section)
            sections.push_back(section);
    }
    EXPECT_EQ(sections,
              (std::vector<std::string>{"basic", "authorization", "inputs", "messages", "outputs", "scaling",
                                        "csd_port", "internet", "email", "extended_lines"}));
}

// An input's type comes before its thresholds, so that a document's
// threshold is read in the unit of the type the same document gives.
TEST(SettingTable, TypesComeBeforeTheirThresholds)
{
    const auto position = [](const std::string& path) { return findSetting(path) - settings().data(); };
    for (int input = 1; input <= 8; ++input) {
        const std::string prefix = "inputs.L" + std::to_string(input) + ".";
        EXPECT_LT(position(prefix + "type"), position(prefix + "low_threshold"));
        EXPECT_LT(position(prefix + "type"), position(prefix + "high_threshold"));
    }
    for (const std::string group : {"extended_lines.xl1_xl8.", "extended_lines.xl9_xl16."}) {
        EXPECT_LT(position(group + "type"), position(group + "lower_threshold"));
        EXPECT_LT(position(group + "type"), position(group + "upper_threshold"));
    }
}

} // namespace
} // namespace telvor
